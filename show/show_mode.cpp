#include <QCoreApplication>
#include <exception>
#include <memory>

#include "app/messages.h"
#include "app/modes.h"
#include "app/qt_ui_poster.h"
#include "app/quorrel_application.h"
#include "app/x11_display.h"
#include "media/media_device.h"
#include "media/system_mute.h"
#include "settings/data_folder.h"
#include "show/show_window.h"
#include "show/termination_signals.h"

namespace quorrel {

void RunShowMode(QuorrelApplication& app) {
  SetApplicationTitle("Quorrel");
  // Qt's xcb platform takes the window's X11 class from the application
  // name, and a second start looks for the show by that class.
  QCoreApplication::setApplicationName(QString::fromLatin1(kShowWindowClass));

  // An idle tool stopping the show closes it the way the system closes a
  // window: without the end-of-show steps, but with the players, the sound
  // and the hidden cursor going with the window.
  TerminationSignals stopSignals;

  const std::unique_ptr<MediaBackend> backend = CreatePlatformMediaBackend(QtUiPoster());
  const std::unique_ptr<SystemMute> mute = CreatePulseMute();
  const SettingsLocation settings = UserSettingsLocation();
  TForm1 form(app, settings, *backend, *mute);
  stopSignals.onSignal([&form] {
    form.closePlayers();
    form.close();
    QCoreApplication::exit(0);
  });

  try {
    form.FormCreate();
  } catch (const std::exception& error) {
    // The start-up runs before the event loop, so nothing else would catch
    // this; the window still opens and waits for input.
    app.reportError(error.what());
  }
  if (form.ended() || stopSignals.received()) return;

  form.showFullScreen();
  form.raise();
  form.activateWindow();
  // A window manager may refuse the focus to a new window; the grab makes
  // every key reach the show whichever window would have had it.
  form.grabKeyboard();
  if (form.ended() || stopSignals.received()) return;
  QCoreApplication::exec();
}

}  // namespace quorrel
