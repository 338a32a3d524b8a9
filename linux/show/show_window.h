#pragma once

#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "linux/show/display_power_watch.h"
#include "linux/show/monitor_window.h"
#include "linux/show/show_services.h"
#include "media/media_types.h"
#include "show/random_pick.h"
#include "show/show_controller.h"
#include "show/show_view.h"

class QLabel;
class QWindow;
struct xcb_connection_t;

namespace quorrel {
class MediaBackend;
class MessageBoxes;
class SystemMute;
class MediaPlayer;
struct SettingsLocation;
}  // namespace quorrel

namespace quorrel::linux_desktop {
class Application;

// Where a show draws, and whether it is the one that is heard.
struct ShowPlacement {
  // 0 for a show of its own: a window covering the primary monitor, with
  // the other monitors covered black. Otherwise the X window a
  // screen-saver host handed over: the show draws inside it and leaves
  // input, the cursor and locking to the host.
  NativeWindow hostWindow = 0;
  bool soundAndMute = true;
};

// The show window: frameless, black while videos play and white on the
// message screen. It owns its label, video panel, poll timer and both
// players, and hands every decision to the show's controller. On its own it
// covers the primary monitor above everything, takes the keyboard and
// hides the cursor; its X11 class is the application name, which the show
// mode sets to "TForm1" before creating it, so that a second start can
// find it.
class ShowWindow : public QWidget, private ShowView, private MonitorScreens, private QAbstractNativeEventFilter {
 public:
  ShowWindow(Application& app, const SettingsLocation& settings, MediaBackend& backend, SystemMute& mute,
             MessageBoxes& boxes, const ShowPlacement& placement);
  ~ShowWindow() override;
  ShowWindow(const ShowWindow&) = delete;
  ShowWindow& operator=(const ShowWindow&) = delete;

  // The start-up; errors propagate for the general error report. The
  // display's power level is read first, so that a show that starts in
  // the dark starts paused.
  void start();
  [[nodiscard]] bool ended() const { return controller_.ended(); }
  // What the end of the show does with the mute switch, as the start-up
  // read it.
  [[nodiscard]] MuteChoice endMuteChoice() const { return controller_.state().EndMute; }
  // Puts the window on screen: over the primary monitor with the keyboard
  // held, or inside the host's window.
  void showOnScreen();
  // The end of the show for a stop signal: the same steps as input, with
  // any error going to standard error, since nobody is there to read a box.
  void endBySignal();
  // Closes both players' files, ending all playback.
  void closePlayers();

 protected:
  // The application-wide input hook: sees every event of every window of
  // the process before delivery and never consumes one.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::int32_t screenWidth() const override;
  std::int32_t screenHeight() const override;
  void setBackground(Colour colour) override;
  void placePanel(const Rect& geometry) override;
  void setPanelVisible(bool visible) override;
  void setMessageText(const std::string& text) override;
  void setMessageVisible(bool visible) override;
  void setCursorVisible(bool visible) override;
  void setTimerEnabled(bool enabled) override;
  void reportError(const std::string& message) override;
  void takeOffScreen() override;
  void closeShow() override;

  MonitorScreen& openScreen(const Monitor& monitor) override;
  void closeScreen(MonitorScreen& screen) override;

  // The host window's resizes and its destruction.
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  [[nodiscard]] bool hosted() const { return placement_.hostWindow != 0; }
  // The panel's X11 window, made native so that the video player can draw
  // into it.
  NativeWindow createPanel();
  // The area the show covers, in the coordinates its window is placed in.
  [[nodiscard]] QRect showArea() const;
  // Follows the monitors: the window over the primary one, a window of
  // its own on each of the rest, the panels placed again.
  void coverScreens();
  void embedInHost();
  void removeOtherWindows();
  void messageBoxOpen(bool open);
  void applyCursor();

  Application& app_;
  ShowPlacement placement_;
  xcb_connection_t* x11_;
  QLabel* messageLabel_;
  QWidget* videoPanel_;
  QTimer* pollTimer_;
  // The controller wants the cursor hidden; it is, except while a message
  // box is open.
  bool cursorWantedHidden_ = false;
  bool cursorHidden_ = false;
  bool boxOpen_ = false;
  bool onScreen_ = false;
  bool endingBySignal_ = false;
  // The host's window was destroyed under the show.
  bool hostGone_ = false;
  std::unique_ptr<QWindow> hostWindow_;
  // The other monitors' players play silently, on a back end of their own
  // made when the first of them opens a file; it outlives their windows.
  std::unique_ptr<MediaBackend> silentBackend_;
  std::vector<std::unique_ptr<MonitorWindow>> otherWindows_;

  SystemUtcClock clock_;
  NoScreenSaverPassword password_;
  NoScreenSaverFlag screenSaverFlag_;
  // Declared after the panel so that they are destroyed first: no player
  // may draw into a window that is gone.
  std::unique_ptr<MediaPlayer> soundPlayer_;
  std::unique_ptr<MediaPlayer> videoPlayer_;
  ShowController controller_;
  // Declared after the controller that it reports to.
  DisplayPowerWatch powerWatch_;
};

}  // namespace quorrel::linux_desktop
