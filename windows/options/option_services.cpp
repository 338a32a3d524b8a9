#include "windows/options/option_services.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <array>

#include "windows/base/dpi.h"
#include "windows/base/window.h"
#include "windows/media/video_formats.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

using Microsoft::WRL::ComPtr;

// Filter entries as the dialog lists them: name, NUL, patterns, NUL, and
// one more NUL at the end.
// Every background sound MCI plays, first, then each kind on its own.
constexpr wchar_t kSoundFilter[] =
    L"Sounds (*.wav;*.mid;*.midi;*.rmi)\0*.wav;*.mid;*.midi;*.rmi\0"
    L"Wave sounds (*.wav)\0*.wav\0"
    L"MIDI sequences (*.mid;*.midi)\0*.mid;*.midi\0"
    L"RIFF MIDI sequences (*.rmi)\0*.rmi\0";

// The video chooser's entries in that form. The first one, which the
// dialog starts with, lists every video this platform plays.
std::wstring videoFilter() {
  std::wstring filter;
  for (const VideoFilter& entry : VideoChooserFilters(kPlayableVideoExtensions)) {
    filter += Widen(entry.name);
    filter += L'\0';
    for (std::size_t i = 0; i < entry.extensions.size(); ++i) {
      if (i > 0) filter += L';';
      filter += L"*." + Widen(entry.extensions[i]);
    }
    filter += L'\0';
  }
  return filter;
}
constexpr int kCancelId = 1;

std::optional<std::wstring> chooseFile(HWND owner, const wchar_t* filter, const std::wstring& startFolder,
                                       const std::wstring& startFile, bool mustExist) {
  std::array<wchar_t, 32768> name{};
  startFile.copy(name.data(), name.size() - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (mustExist ? OFN_FILEMUSTEXIST : 0);
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  return std::wstring(name.data());
}

// The folder tree of older systems, where the folder picker cannot be
// made.
std::optional<std::string> chooseFolderInTree(HWND owner) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = L"Add Entire Folder";
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
  if (chosen == nullptr) return std::nullopt;
  std::array<wchar_t, MAX_PATH> path{};
  const bool ok = ::SHGetPathFromIDListW(chosen, path.data()) != FALSE;
  ::CoTaskMemFree(chosen);
  if (!ok) return std::nullopt;
  return Narrow(path.data());
}

}  // namespace

std::optional<std::string> FileDialogs::chooseVideoFile() {
  // The typed name need not exist here: the list checks every chosen file,
  // so that both platforms refuse a missing one with the same message.
  const std::wstring filter = videoFilter();
  const auto chosen = chooseFile(owner_, filter.c_str(), Widen(videoFolder_), lastVideoFile_, false);
  if (!chosen) return std::nullopt;
  lastVideoFile_ = *chosen;
  return Narrow(*chosen);
}

std::optional<std::string> FileDialogs::chooseSoundFile() {
  const auto chosen = chooseFile(owner_, kSoundFilter, std::wstring(), std::wstring(), true);
  if (!chosen) return std::nullopt;
  return Narrow(*chosen);
}

std::optional<std::string> FileDialogs::chooseVideoFolder() {
  // The folder picker of Windows Vista and later, which has a box to type
  // or paste a path into, unlike the older folder tree.
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog)))) {
    return chooseFolderInTree(owner_);
  }
  FILEOPENDIALOGOPTIONS options = 0;
  (void)dialog->GetOptions(&options);
  (void)dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
  (void)dialog->SetTitle(L"Add Entire Folder");
  ComPtr<IShellItem> chosen;
  if (FAILED(dialog->Show(owner_)) || FAILED(dialog->GetResult(&chosen))) return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) return std::nullopt;
  std::string folder = Narrow(path);
  ::CoTaskMemFree(path);
  return folder;
}

bool DesktopLauncher::openFile(const std::string& path) {
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

void ProgressDialog::begin(std::size_t total) {
  end();
  total_ = total;
  cancelled_ = false;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  // At the scale of the dialog it belongs to.
  const int dpi = WindowDpi(owner_);
  auto scaled = [dpi](int length) { return ScaledToDpi(length, dpi); };
  const SIZE size = OuterSizeForDpi(style, 0, scaled(300), scaled(80), dpi);
  window_ = ::CreateWindowExW(0, L"#32770", L"Add Entire Folder", style, 0, 0, size.cx, size.cy, owner_, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  const HFONT font = DialogFont(L"Arial", 8, false, DEFAULT_CHARSET, dpi);
  text_ = Control(window_, L"STATIC", "", SS_LEFT, scaled(10), scaled(10), scaled(280), scaled(20), 0, font);
  Control(window_, L"BUTTON", "Cancel", BS_PUSHBUTTON, scaled(110), scaled(45), scaled(80), scaled(25), kCancelId,
          font);
  CentreOnScreen(window_);
}

bool ProgressDialog::advance(std::size_t done) {
  if (window_ == nullptr) return !cancelled_;
  SetText(text_, "Adding video " + std::to_string(done) + " of " + std::to_string(total_));
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      cancelled_ = true;
      break;
    }
    const bool cancel = (message.message == WM_LBUTTONUP || message.message == WM_KEYDOWN) &&
                        message.hwnd == ::GetDlgItem(window_, kCancelId);
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    if (cancel) cancelled_ = true;
  }
  return !cancelled_;
}

void ProgressDialog::end() {
  if (window_ != nullptr) ::DestroyWindow(window_);
  window_ = nullptr;
}

}  // namespace quorrel::windows_desktop
