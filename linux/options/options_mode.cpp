#include "linux/options/options_mode.h"

#include <QCoreApplication>
#include <exception>
#include <memory>

#include "linux/base/application.h"
#include "linux/base/ui_poster.h"
#include "linux/media/media_backend.h"
#include "linux/options/about_box.h"
#include "linux/options/options_dialog.h"
#include "settings/data_folder.h"

namespace quorrel::linux_desktop {

void RunConfigMode(Application& app) {
  // One media back end for the whole process, made by the first preview
  // so that opening the dialog does not start the media libraries.
  std::unique_ptr<MediaBackend> backend;
  OptionsDialogServices services;
  services.boxes = &app.messageBoxes();
  services.settings = UserSettingsLocation();
  services.mediaBackend = [&backend]() -> MediaBackend& {
    if (!backend) backend = CreatePlatformMediaBackend(QtUiPoster());
    return *backend;
  };

  // The dialog needs its settings file for everything it does; when the
  // file can neither be found nor made (a full disk, a read-only home) the
  // user is told why before the mode ends.
  std::unique_ptr<OptionsDialog> dialog;
  try {
    dialog = std::make_unique<OptionsDialog>(services);
  } catch (const std::exception& error) {
    app.reportError(error.what());
    return;
  }
  AboutBox about;
  dialog->setAboutBox(&about);
  QObject::connect(dialog.get(), &QDialog::finished, &app, &QCoreApplication::quit);
  dialog->show();
  app.exec();
}

}  // namespace quorrel::linux_desktop
