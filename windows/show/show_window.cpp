#include "windows/show/show_window.h"

#include <algorithm>
#include <optional>

#include "base/log.h"
#include "media/media_device.h"
#include "show/show_window_identity.h"
#include "windows/base/dpi.h"
#include "windows/media/windows_media_backend.h"
#include "windows/show/monitors.h"
#include "windows/show/preview_host.h"
#include "windows/show/show_ending.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

constexpr UINT_PTR kPollTimer = 1;
// How often a hosted show looks whether its host is still there and of the
// same size: Windows tells a child in another program of neither.
constexpr UINT_PTR kHostTimer = 2;
constexpr UINT kHostTimerMilliseconds = 100;
// Posted to the show window to release the players once the call that was
// waiting for one of them has returned.
constexpr UINT kReleaseAndEnd = WM_APP + 1;

// How long the players may take to stop and close once the show ends, and
// how long the whole end may take before the process ends without it.
constexpr std::chrono::milliseconds kPlayerReleaseBound{2000};
constexpr std::chrono::milliseconds kEndBound{5000};

// The one show window of the process, for the message hook, which has no
// other way to reach it.
ShowWindow* hookTarget = nullptr;

// Key presses and releases (with or without Alt) and presses of the left,
// right and middle buttons; not movement, releases of buttons,
// double-clicks, the wheel or character messages.
bool isShowInput(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

}  // namespace

ShowWindow::ShowWindow(const SettingsLocation& settings, MediaBackend& backend, SystemMute& mute, MessageBoxes& boxes,
                       HWND host)
    : host_(host) {
  if (hosted()) {
    // A child of another program's window must see the screen's scale as
    // its parent does, or Windows refuses it or misplaces it.
    const DpiAwarenessOf parentsAwareness(host_);
    RECT area{};
    ::GetClientRect(host_, &area);
    create(L"QuorrelHostedShow", RGB(0, 0, 0), 0, WS_CHILD | WS_CLIPCHILDREN, "Quorrel", 0, 0, area.right, area.bottom,
           host_);
    screenSaverFlag_ = std::make_unique<NoScreenSaverFlag>();
  } else {
    // Over the primary monitor, in its device pixels: the panel sizes are
    // fractions of them, and a video at its own size is one video pixel to
    // one screen pixel, whatever the monitor's scale.
    const Rect screen = PrimaryMonitor().place;
    create(Widen(kShowWindowClass).c_str(), RGB(0, 0, 0), WS_EX_TOPMOST, WS_POPUP | WS_CLIPCHILDREN, kShowWindowTitle,
           screen.left, screen.top, screen.width, screen.height, nullptr);
    screenSaverFlag_ = std::make_unique<SystemScreenSaverFlag>();
  }
  if (hwnd() == nullptr) return;
  endMessageLoopWhenDestroyed();
  password_.setOwner(hwnd());

  messageLabel_ =
      Control(hwnd(), L"STATIC", "", SS_LEFT | SS_NOPREFIX, kMessageLabelPlace.left, kMessageLabelPlace.top,
              kMessageLabelPlace.width, kMessageLabelPlace.height, 0, PixelFont(L"Arial", kMessageFontPixels));
  ::ShowWindow(messageLabel_, SW_HIDE);
  // The video panel, black, at its first place until the start-up places it.
  videoPanel_ = Panel(hwnd(), L"QuorrelVideoPanel", RGB(0, 0, 0), kFirstPanelPlace.left, kFirstPanelPlace.top,
                      kFirstPanelPlace.width, kFirstPanelPlace.height);

  soundPlayer_ = std::make_unique<MediaPlayer>(backend, 0, false);
  videoPlayer_ = std::make_unique<MediaPlayer>(backend, reinterpret_cast<NativeWindow>(videoPanel_), true);
  controller_ = std::make_unique<ShowController>(ShowServices{settings, *this, *soundPlayer_, *videoPlayer_, mute,
                                                              clock_, password_, *screenSaverFlag_, boxes, !hosted(),
                                                              hosted() ? nullptr : this, hosted()});

  if (hosted()) {
    ::SetTimer(hwnd(), kHostTimer, kHostTimerMilliseconds, nullptr);
    return;
  }
  hookTarget = this;
  hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, &ShowWindow::messageHook, nullptr, ::GetCurrentThreadId());
  displayPower_ = std::make_unique<DisplayPowerNotifications>(hwnd());
}

ShowWindow::~ShowWindow() {
  displayPower_.reset();
  if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
  hookTarget = nullptr;
  if (hwnd() != nullptr) ::KillTimer(hwnd(), kPollTimer);
  // The players go before the panel they draw into.
  videoPlayer_.reset();
  soundPlayer_.reset();
  otherWindows_.clear();
  if (cursorHidden_) ::ShowCursor(TRUE);
}

LRESULT CALLBACK ShowWindow::messageHook(int code, WPARAM wParam, LPARAM lParam) {
  // Only messages taken off the queue count, not those a loop merely
  // peeks at; every message goes on to its window afterwards.
  if (code == HC_ACTION && wParam == PM_REMOVE && hookTarget != nullptr && hookTarget->controller_) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    hookTarget->controller_->inputHook(isShowInput(message->message));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void ShowWindow::showOnTop() {
  ::ShowWindow(hwnd(), SW_SHOW);
  // A preview leaves the keyboard and the order of windows to its host.
  if (hosted()) return;
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  coverMonitors();
  ::SetForegroundWindow(hwnd());
  ::SetFocus(hwnd());
}

void ShowWindow::coverMonitors() {
  if (controller_->ended()) return;
  const std::vector<Monitor> monitors = SystemMonitors();
  const Rect primary = monitors.front().place;
  ::SetWindowPos(hwnd(), HWND_TOPMOST, primary.left, primary.top, primary.width, primary.height, 0);
  std::vector<quorrel::Monitor> desk;
  for (const Monitor& monitor : monitors)
    desk.push_back(quorrel::Monitor{monitor.name, monitor.place, monitor.primary});
  // The first listed is the primary, also where the system flags none.
  desk.front().primary = true;
  controller_->monitorsChanged(desk);
}

MonitorScreen& ShowWindow::openScreen(const quorrel::Monitor& monitor) {
  if (!silentBackend_) silentBackend_ = CreateWindowsMediaBackend(MediaAudio::Off);
  otherWindows_.push_back(std::make_unique<MonitorWindow>(monitor, *silentBackend_));
  return *otherWindows_.back();
}

void ShowWindow::closeScreen(MonitorScreen& screen) {
  const auto window = std::find_if(otherWindows_.begin(), otherWindows_.end(),
                                   [&screen](const std::unique_ptr<MonitorWindow>& w) { return w.get() == &screen; });
  if (window == otherWindows_.end()) return;
  // Its player is released as the show's are at the end, within a bound.
  std::vector<std::unique_ptr<MediaPlayer>> players;
  players.push_back((*window)->takePlayer());
  if (!ReleasePlayers(std::move(players), kPlayerReleaseBound)) {
    LogError("the player of a monitor that went did not stop within two seconds");
  }
  otherWindows_.erase(window);
}

LRESULT ShowWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kPollTimer) controller_->poll();
      if (wParam == kHostTimer) followHost();
      return 0;
    case kReleaseAndEnd:
      releasePlayersAndEnd();
      return 0;
    case WM_DISPLAYCHANGE:
      // A monitor added, removed or set to another resolution.
      if (!hosted()) coverMonitors();
      break;
    case WM_POWERBROADCAST:
      if (const std::optional<bool> off = ConsoleDisplayOff(wParam, lParam)) {
        controller_->displayPowerChanged(*off);
        return TRUE;
      }
      break;
    case WM_ERASEBKGND: {
      RECT area{};
      ::GetClientRect(hwnd(), &area);
      ::FillRect(reinterpret_cast<HDC>(wParam), &area, SolidBrush(background_));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), background_,
                            ::GetSysColor(COLOR_WINDOWTEXT));
    case WM_SETCURSOR:
      // No cursor over the show, also when the system asks again.
      if (cursorHidden_) {
        ::SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      // A hosted show's window goes with its host's, which may be in the
      // middle of a player's call: the end is left to the show mode, once
      // that call has returned.
      beingDestroyed_ = true;
      if (hosted() && !controller_->ended()) controller_->end();
      break;
    case WM_CLOSE:
      if (hosted()) {
        controller_->end();
        return 0;
      }
      // Closed by the system (at shutdown, say): the window goes without
      // the end-of-show steps, and the players with it.
      if (videoPlayer_) videoPlayer_->close();
      if (soundPlayer_) soundPlayer_->close();
      ::DestroyWindow(hwnd());
      return 0;
    default:
      break;
  }
  return Window::handle(message, wParam, lParam);
}

// A hosted show's screen is its host's client area, which its own window
// fills.
std::int32_t ShowWindow::screenWidth() const {
  if (!hosted()) return PrimaryMonitor().place.width;
  RECT area{};
  ::GetClientRect(hwnd(), &area);
  return area.right;
}

std::int32_t ShowWindow::screenHeight() const {
  if (!hosted()) return PrimaryMonitor().place.height;
  RECT area{};
  ::GetClientRect(hwnd(), &area);
  return area.bottom;
}

void ShowWindow::followHost() {
  if (controller_->ended()) return;
  if (!::IsWindow(host_)) {
    controller_->end();
    return;
  }
  // Nobody sees a preview whose settings window is minimised or hidden:
  // it holds still, decoding nothing, as the show does on a dark display.
  controller_->displayPowerChanged(!HostShown(host_));
  RECT host{};
  RECT own{};
  ::GetClientRect(host_, &host);
  ::GetClientRect(hwnd(), &own);
  if (host.right == own.right && host.bottom == own.bottom) return;
  ::MoveWindow(hwnd(), 0, 0, host.right, host.bottom, TRUE);
  FitMessageLabel(messageLabel_, messageText_, host.right, host.bottom, kMessageFontPixels);
  controller_->screenChanged();
}

void ShowWindow::setBackground(Colour colour) {
  background_ = RGB(colour.red, colour.green, colour.blue);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void ShowWindow::placePanel(const Rect& geometry) {
  ::MoveWindow(videoPanel_, geometry.left, geometry.top, geometry.width, geometry.height, TRUE);
}

void ShowWindow::setPanelVisible(bool visible) { ::ShowWindow(videoPanel_, visible ? SW_SHOW : SW_HIDE); }

void ShowWindow::setMessageText(const std::string& text) {
  messageText_ = text;
  SetText(messageLabel_, text);
  // The message screen's place is the full screen's; a preview's little
  // screen gets the text made to fit it.
  if (hosted()) FitMessageLabel(messageLabel_, text, screenWidth(), screenHeight(), kMessageFontPixels);
}

void ShowWindow::setMessageVisible(bool visible) { ::ShowWindow(messageLabel_, visible ? SW_SHOW : SW_HIDE); }

void ShowWindow::setCursorVisible(bool visible) {
  // The host owns the cursor over a preview.
  if (hosted()) return;
  // ShowCursor counts; one call each way keeps the count where it was.
  if (!visible && !cursorHidden_) {
    ::ShowCursor(FALSE);
    cursorHidden_ = true;
  } else if (visible && cursorHidden_) {
    ::ShowCursor(TRUE);
    cursorHidden_ = false;
  }
}

void ShowWindow::setTimerEnabled(bool enabled) {
  if (enabled) {
    ::SetTimer(hwnd(), kPollTimer, 1000, nullptr);
  } else {
    ::KillTimer(hwnd(), kPollTimer);
  }
}

void ShowWindow::reportError(const std::string& message) {
  // Nobody sits in front of a preview to read a box.
  if (hosted()) {
    LogError(message);
    return;
  }
  ReportError(hwnd(), message);
}

void ShowWindow::takeOffScreen() {
  EndProcessAfter(kEndBound);
  // The window keeps its place and size but shows nothing any more: an
  // empty window region. Hiding or moving it would do on Windows, but
  // under Wine on a desktop without a window manager either makes Wine
  // wait two seconds for the window manager's answer before the show
  // leaves the screen.
  ::SetWindowRgn(hwnd(), ::CreateRectRgn(0, 0, 0, 0), TRUE);
  for (const std::unique_ptr<MonitorWindow>& window : otherWindows_) window->takeOffScreen();
  setCursorVisible(true);
  // A look at the queue has Wine hand what it holds for the window system
  // over at once, rather than when the thread next waits for input, which
  // the rest of the end may not do.
  MSG message{};
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_INPUT);
}

void ShowWindow::closeShow() {
  // A preview ends from wherever its host's going reached it, also from
  // inside a player's call (a host window destroyed while a video loads):
  // the players are released by the show mode once the loop has ended.
  if (hosted()) {
    ::PostQuitMessage(0);
    return;
  }
  // The key came while a video was loading: the player is in the middle
  // of its open, further down this thread's stack, and is released once
  // that has returned. The show is off the screen meanwhile, and the end
  // bound still holds.
  if (AnsweringInputInAWait()) {
    ::PostMessageW(hwnd(), kReleaseAndEnd, 0, 0);
    return;
  }
  releasePlayersAndEnd();
}

void ShowWindow::endPreview() {
  if (!controller_->ended()) controller_->end();
  releasePlayersAndEnd();
}

void ShowWindow::releasePlayersAndEnd() {
  std::vector<std::unique_ptr<MediaPlayer>> players;
  players.push_back(std::move(videoPlayer_));
  players.push_back(std::move(soundPlayer_));
  for (const std::unique_ptr<MonitorWindow>& window : otherWindows_) players.push_back(window->takePlayer());
  if (!ReleasePlayers(std::move(players), kPlayerReleaseBound)) {
    LogError("the players did not stop within two seconds; the show ends without them");
    ::TerminateProcess(::GetCurrentProcess(), 0);
  }
  // The window shows nothing any more, and is marked hidden without being
  // hidden: hiding a window, as destroying a visible one does first, has
  // Wine wait two seconds for a window manager on a desktop without one,
  // with the process (and its claim on the one show) still there.
  // Destroying it ends the message loop, and the show mode ends the
  // process as usual, the media libraries shut down in order.
  if (beingDestroyed_) return;
  ::SetWindowLongPtrW(hwnd(), GWL_STYLE, ::GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
  ::DestroyWindow(hwnd());
}

}  // namespace quorrel::windows_desktop
