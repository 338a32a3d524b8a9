#include "windows/options/options_mode.h"

#include <array>
#include <exception>
#include <memory>
#include <string_view>

#include "options/options_actions.h"
#include "settings/data_folder.h"
#include "system/file_system.h"
#include "windows/base/message_boxes.h"
#include "windows/media/windows_media_backend.h"
#include "windows/options/about_box.h"
#include "windows/options/options_dialog.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

struct OwnedDialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK findOwnedDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<OwnedDialogSearch*>(parameter);
  wchar_t windowClass[64] = {};
  ::GetClassNameW(window, windowClass, 64);
  if (std::wstring_view(windowClass) != kOptionsDialogClass || ::GetWindow(window, GW_OWNER) != search->owner) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// Where Quorrel's documentation is: beside quorrel.scr, or, for an install
// for everyone, whose quorrel.scr is in the system folder, in the folder
// the setup installed the rest in, as its Apps & features entry names it.
std::string DocumentationFolder(const std::string& executableFolder) {
  if (!FindReadme(executableFolder).empty()) return executableFolder;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    std::array<wchar_t, MAX_PATH> folder{};
    DWORD size = sizeof folder;
    if (::RegGetValueW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorrel", L"InstallLocation",
                       RRF_RT_REG_SZ, nullptr, folder.data(), &size) == ERROR_SUCCESS &&
        !FindReadme(Narrow(folder.data())).empty()) {
      return Narrow(folder.data());
    }
  }
  return executableFolder;
}

// The options dialog that another start opened for `owner`, or nullptr.
HWND OpenDialogOwnedBy(HWND owner) {
  OwnedDialogSearch search{owner, nullptr};
  ::EnumWindows(&findOwnedDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

void RunConfigMode(const std::string& executablePath, HWND owner) {
  if (owner != nullptr) {
    if (const HWND open = OpenDialogOwnedBy(owner)) {
      ::SetForegroundWindow(open);
      return;
    }
  }
  ModalMessageBoxes boxes;
  // One media back end for the whole process, made by the first preview.
  std::unique_ptr<MediaBackend> backend;
  auto mediaBackend = [&backend]() -> MediaBackend& {
    if (!backend) backend = CreateWindowsMediaBackend();
    return *backend;
  };
  // The dialog needs its settings file for everything it does; when the
  // file can neither be found nor made (a full disk, a folder the user may
  // not write) the user is told why before the mode ends.
  std::unique_ptr<OptionsDialog> dialog;
  try {
    dialog = std::make_unique<OptionsDialog>(UserSettingsLocation(), boxes, mediaBackend,
                                             DocumentationFolder(FolderOf(executablePath)), owner);
  } catch (const std::exception& error) {
    ReportError(owner, error.what());
    return;
  }
  // Modal to its owner, as a dialog of the owner's own would be; the dialog
  // enables it again as it closes.
  if (owner != nullptr) ::EnableWindow(owner, FALSE);
  AboutBox about;
  dialog->setAboutBox(&about);
  dialog->show();
  RunMessageLoop(dialog->hwnd());
}

}  // namespace quorrel::windows_desktop
