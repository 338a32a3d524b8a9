#include "windows/options/options_mode.h"

#include <exception>
#include <memory>

#include "settings/data_folder.h"
#include "system/file_system.h"
#include "windows/base/message_boxes.h"
#include "windows/media/windows_media_backend.h"
#include "windows/options/about_box.h"
#include "windows/options/options_dialog.h"

namespace quorrel::windows_desktop {

void RunConfigMode(const std::string& executablePath) {
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
    dialog = std::make_unique<OptionsDialog>(UserSettingsLocation(), boxes, mediaBackend, FolderOf(executablePath));
  } catch (const std::exception& error) {
    ReportError(nullptr, error.what());
    return;
  }
  AboutBox about;
  dialog->setAboutBox(&about);
  dialog->show();
  RunMessageLoop(dialog->hwnd());
}

}  // namespace quorrel::windows_desktop
