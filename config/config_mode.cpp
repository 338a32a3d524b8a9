#include <QCoreApplication>
#include <memory>

#include "app/modes.h"
#include "app/qt_ui_poster.h"
#include "app/quorrel_application.h"
#include "config/form2.h"
#include "config/frm_disc.h"
#include "media/media_device.h"
#include "settings/data_folder.h"

namespace quorrel {

void RunConfigMode(QuorrelApplication& app) {
  // One media back end for the whole process, made by the first preview
  // so that opening the dialog does not start the media libraries.
  std::unique_ptr<MediaBackend> backend;
  ConfigServices services;
  services.boxes = &app.messageBoxes();
  services.settings = UserSettingsLocation();
  services.mediaBackend = [&backend]() -> MediaBackend& {
    if (!backend) backend = CreatePlatformMediaBackend(QtUiPoster());
    return *backend;
  };

  TForm2 form(services);
  Tfrmdisc about;
  form.setAboutBox(&about);
  QObject::connect(&form, &QDialog::finished, &app, &QCoreApplication::quit);
  form.show();
  app.exec();
}

}  // namespace quorrel
