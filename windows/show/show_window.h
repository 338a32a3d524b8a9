#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/media_player.h"
#include "show/random_pick.h"
#include "show/show_controller.h"
#include "show/show_view.h"
#include "windows/base/input_during_waits.h"
#include "windows/base/window.h"
#include "windows/show/display_power.h"
#include "windows/show/monitor_window.h"
#include "windows/show/show_services.h"

namespace quorrel {

class MediaBackend;
class MessageBoxes;
struct SettingsLocation;
class SystemMute;

namespace windows_desktop {

// The show window: class "TForm1", title "FrmQuorrel33", borderless and
// topmost over the whole primary screen, black while videos play and white
// on the message screen. It owns its label, its video panel, its timer and
// both players, and hands every decision to the show's controller. A
// thread-wide message hook passes every message that any message loop of
// the thread takes from the queue (the show's own, and those of the
// message boxes) to the controller's input check before it is dispatched.
// Windows tells it when the console display switches off and on, which
// pauses and resumes the show.
//
// Given a host window (the little screen of Windows' screen saver
// settings, "/p"), the show is instead a child filling the host's client
// area, and plays there by the same rules, silently: it takes no input,
// leaves the cursor and the mute switch alone, is no show on screen for a
// second start to find, and ends when its host goes away or it is closed.
class ShowWindow : public Window, private ShowView, private MonitorScreens {
 public:
  ShowWindow(const SettingsLocation& settings, MediaBackend& backend, SystemMute& mute, MessageBoxes& boxes,
             HWND host = nullptr);
  ~ShowWindow() override;

  // The start-up; errors propagate for the general error report.
  void start() { controller_->start(); }
  [[nodiscard]] bool ended() const { return controller_->ended(); }
  // Makes the window visible and, unless it is hosted, gives it the
  // keyboard.
  void showOnTop();
  // A preview's end, run by the show mode once its message loop has
  // ended: the end-of-show steps if they have not run, then the players
  // released within their bound and the window closed.
  void endPreview();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

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

  MonitorScreen& openScreen(const quorrel::Monitor& monitor) override;
  void closeScreen(MonitorScreen& screen) override;
  // Puts the show window over the primary monitor and a window over every
  // other one; again whenever the monitors change.
  void coverMonitors();

  static LRESULT CALLBACK messageHook(int code, WPARAM wParam, LPARAM lParam);
  // Releases the players off this thread, within a bound, and ends the
  // process.
  void releasePlayersAndEnd();
  [[nodiscard]] bool hosted() const { return host_ != nullptr; }
  // A hosted show follows its host: gone, it ends; resized, it is laid out
  // again.
  void followHost();

  HWND host_;
  HWND messageLabel_ = nullptr;
  std::string messageText_;
  HWND videoPanel_ = nullptr;
  COLORREF background_ = RGB(0, 0, 0);
  bool cursorHidden_ = false;
  bool beingDestroyed_ = false;
  HHOOK hook_ = nullptr;

  // A key pressed while a video loads ends the show at once, not once the
  // load is over.
  InputDuringWaits inputDuringWaits_;
  SystemUtcClock clock_;
  WinScreenSaverPassword password_;
  std::unique_ptr<ScreenSaverFlag> screenSaverFlag_;
  std::unique_ptr<MediaPlayer> soundPlayer_;
  std::unique_ptr<MediaPlayer> videoPlayer_;
  // The windows over the other monitors, and the silent back end their
  // players play on, made with the first of them.
  std::unique_ptr<MediaBackend> silentBackend_;
  std::vector<std::unique_ptr<MonitorWindow>> otherWindows_;
  std::unique_ptr<ShowController> controller_;
  // Made once the controller is there to hear of the display's state.
  std::unique_ptr<DisplayPowerNotifications> displayPower_;
};

}  // namespace windows_desktop
}  // namespace quorrel
