#include "linux/show/show_mode.h"

#include <signal.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <exception>
#include <memory>
#include <optional>

#include "base/log.h"
#include "base/messages.h"
#include "linux/base/application.h"
#include "linux/base/ui_poster.h"
#include "linux/media/media_backend.h"
#include "linux/media/pulse_mute.h"
#include "linux/show/lost_display_guard.h"
#include "linux/show/show_window.h"
#include "linux/show/termination_signals.h"
#include "linux/show/x11_host_window.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "show/show_window_identity.h"

namespace quorrel::linux_desktop {

namespace {

// A hosted show has nobody in front of it to read a box: what would be
// shown goes to standard error, which the host keeps.
class LoggedMessages : public MessageBoxes {
 public:
  void showMessage(MessageKind /*kind*/, const std::string& text) override { LogError(text); }
};

// A hosted show's mute: a switch that cannot be set leaves a line on
// standard error and the show goes on. Where no sound server answers (ALSA
// alone, or PipeWire without its pulse server), a failed mute at the start
// would otherwise keep the panel black for the whole host session, with
// nobody there to read why.
class LoggedMute : public SystemMute {
 public:
  explicit LoggedMute(std::unique_ptr<SystemMute> mute) : mute_(std::move(mute)) {}
  void setSystemMute(bool mute) override {
    try {
      mute_->setSystemMute(mute);
    } catch (const VolumeError& error) {
      LogError(error.what());
    }
  }

 private:
  std::unique_ptr<SystemMute> mute_;
};

xcb_connection_t* qtConnection() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

// The primary monitor in root coordinates; the whole screen when Qt knows
// no monitor.
std::optional<Rect> primaryMonitor(xcb_connection_t* x11, std::uint32_t anyWindow) {
  if (const QScreen* primary = QGuiApplication::primaryScreen(); primary && !primary->geometry().isEmpty()) {
    const QRect place = primary->geometry();
    return Rect{place.x(), place.y(), place.width(), place.height()};
  }
  return WindowOnRoot(x11, RootWindowOf(x11, anyWindow));
}

// Runs the show to its end: by input, by a stop signal, or by the host's
// window going away. Returns the stop signal that ended it, if one did.
int runShow(Application& app, const ShowPlacement& placement, MessageBoxes& boxes,
            std::unique_ptr<PlatformMediaBackend> media) {
  // An idle tool or a host stops the show with a signal; it ends as input
  // would end it, the end mute choice included, so that a system muted at
  // the start is not left muted.
  TerminationSignals stopSignals;

  const SettingsLocation settings = UserSettingsLocation();
  const std::unique_ptr<PlatformMediaBackend> backend =
      media ? std::move(media) : CreatePlatformMediaBackend(QtUiPoster());
  backend->setAudio(placement.soundAndMute ? MediaAudio::On : MediaAudio::Off);
  // The video output starts on mpv's threads while the window is made and
  // the settings are read, unless it started before.
  backend->prepareVideo();
  std::unique_ptr<SystemMute> mute = CreatePulseMute();
  if (placement.hostWindow != 0) mute = std::make_unique<LoggedMute>(std::move(mute));
  // A logout takes the X server away under the show; the end mute choice
  // is applied all the same. The show sets the mute through the guard.
  LostDisplayGuard lostDisplay(qtConnection(), *mute);
  ShowWindow showWindow(app, settings, *backend, lostDisplay, boxes, placement);
  stopSignals.onSignal([&showWindow] { showWindow.endBySignal(); });
  // The start-up may mute the system and then meet the lost display before
  // it returns, so the end choice is known from the file before it runs.
  if (placement.soundAndMute) {
    lostDisplay.setEndChoice(MuteChoiceOf(
        SettingsFile(settings.SettingsFileName).readNumber(kOptionsSection, kEndMuteKey, kNumberReadDefault)));
  }

  // On screen (black) before the start-up opens the first video, so that
  // the video's first frame is drawn where it is seen, not drawn again once
  // the window appears.
  showWindow.showOnScreen();
  try {
    showWindow.start();
  } catch (const std::exception& error) {
    // The start-up runs before the event loop, so nothing else would catch
    // this; the window stays and waits for input.
    if (placement.hostWindow != 0) {
      LogError(error.what());
    } else {
      app.reportError(error.what());
    }
  }
  lostDisplay.setEndChoice(showWindow.endMuteChoice());
  if (stopSignals.received()) showWindow.endBySignal();
  if (showWindow.ended()) return stopSignals.signalNumber();

  QCoreApplication::exec();
  // The loop may have stopped for the host's window going away, with the
  // host's stop signal already here but not yet dealt with.
  if (stopSignals.received() && !showWindow.ended()) showWindow.endBySignal();
  return stopSignals.signalNumber();
}

}  // namespace

void RunShowMode(Application& app, std::unique_ptr<PlatformMediaBackend> media) {
  SetApplicationTitle("Quorrel");
  // Qt's xcb platform takes the window's X11 class from the application
  // name, and a second start looks for the show by that class.
  QCoreApplication::setApplicationName(QString::fromLatin1(kShowWindowClass));
  (void)runShow(app, ShowPlacement{}, app.messageBoxes(), std::move(media));
}

void RunHostedShowMode(Application& app, NativeWindow hostWindow, std::unique_ptr<PlatformMediaBackend> media) {
  SetApplicationTitle("Quorrel");
  xcb_connection_t* connection = qtConnection();
  if (connection == nullptr) {
    LogError("a screen-saver host's window needs an X display");
    return;
  }
  ShowPlacement placement;
  placement.hostWindow = hostWindow;
  if (placement.hostWindow == 0) {
    // Run by hand without a window: the root window of the default
    // screen, as X screen-saver modules do. Qt's own hidden window tells
    // which root that is.
    QWidget probe;
    placement.hostWindow = RootWindowOf(connection, static_cast<std::uint32_t>(probe.winId()));
  }
  const std::optional<Rect> host = WindowOnRoot(connection, static_cast<std::uint32_t>(placement.hostWindow));
  if (!host) {
    LogError("the screen-saver host's window " + std::to_string(placement.hostWindow) + " does not exist");
    return;
  }
  // One copy runs per monitor; only the one covering the primary monitor
  // is heard and sets the mute switch. A settings preview covers none.
  const std::optional<Rect> primary = primaryMonitor(connection, static_cast<std::uint32_t>(placement.hostWindow));
  placement.soundAndMute = primary && Contains(*host, *primary);

  LoggedMessages boxes;
  const int stopSignal = runShow(app, placement, boxes, std::move(media));
  if (stopSignal != 0) {
    // Dying by the signal tells the host the saver ended as asked.
    ::signal(stopSignal, SIG_DFL);
    ::raise(stopSignal);
  }
}

}  // namespace quorrel::linux_desktop
