#include "windows/entry/modes.h"

#include <exception>
#include <memory>

#include "windows/media/mci_device.h"
#include "settings/data_folder.h"
#include "system/file_system.h"
#include "windows/options/options_dialog.h"
#include "windows/options/about_box.h"
#include "windows/base/message_boxes.h"

namespace quorrel::win {

void RunConfigMode(const std::string& executablePath) {
  WinMessageBoxes boxes;
  // One media back end for the whole process, made by the first preview.
  std::unique_ptr<MediaBackend> backend;
  auto mediaBackend = [&backend]() -> MediaBackend& {
    if (!backend) backend = CreateMciBackend();
    return *backend;
  };
  // The dialog needs its settings file for everything it does; when the
  // file can neither be found nor made (a full disk, a folder the user may
  // not write) the user is told why before the mode ends.
  std::unique_ptr<TForm2> form;
  try {
    form = std::make_unique<TForm2>(UserSettingsLocation(), boxes, mediaBackend, FolderOf(executablePath));
  } catch (const std::exception& error) {
    ReportError(nullptr, error.what());
    return;
  }
  Tfrmdisc about;
  form->setAboutBox(&about);
  form->show();
  RunMessageLoop(form->hwnd());
}

}  // namespace quorrel::win
