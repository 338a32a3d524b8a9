#include "windows/show/show_window.h"

#include "media/media_device.h"

namespace quorrel::win {

namespace {

constexpr UINT_PTR kTimer1 = 1;

// The one show window of the process, for the message hook, which has no
// other way to reach it.
TForm1* hookTarget = nullptr;

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
    case WM_MBUTTONDOWN: return true;
    default: return false;
  }
}

}  // namespace

TForm1::TForm1(const SettingsLocation& settings, MediaBackend& backend, SystemMute& mute, MessageBoxes& boxes)
    : infoText_(kNoVideosText) {
  create(L"TForm1", RGB(0, 0, 0), WS_EX_TOPMOST, WS_POPUP | WS_CLIPCHILDREN, "FrmQuorrel33", 0, 0,
         ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr);
  password_.setOwner(hwnd());

  lblinfo = Control(hwnd(), L"STATIC", infoText_, SS_LEFT | SS_NOPREFIX, 61, 47, 500, 106, 0,
                    PixelFont(L"Arial", 16));
  ::ShowWindow(lblinfo, SW_HIDE);
  // The video panel, black, at its first place until the start-up places it.
  Panel1 = Panel(hwnd(), L"TPanel", RGB(0, 0, 0), 27, 256, 185, 147);

  MediaPlayer1 = std::make_unique<TMediaPlayer>(backend, 0, false);
  MediaPlayer2 = std::make_unique<TMediaPlayer>(backend, reinterpret_cast<NativeWindow>(Panel1), true);
  controller_ = std::make_unique<ShowController>(ShowServices{settings, *this, *MediaPlayer1, *MediaPlayer2, mute, clock_,
                                                              password_, screenSaverFlag_, boxes});

  hookTarget = this;
  hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, &TForm1::messageHook, nullptr, ::GetCurrentThreadId());
}

TForm1::~TForm1() {
  if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
  hookTarget = nullptr;
  if (hwnd() != nullptr) ::KillTimer(hwnd(), kTimer1);
  // The players go before the panel they draw into.
  MediaPlayer2.reset();
  MediaPlayer1.reset();
  if (cursorHidden_) ::ShowCursor(TRUE);
}

LRESULT CALLBACK TForm1::messageHook(int code, WPARAM wParam, LPARAM lParam) {
  // Only messages taken off the queue count, not those a loop merely
  // peeks at; every message goes on to its window afterwards.
  if (code == HC_ACTION && wParam == PM_REMOVE && hookTarget != nullptr && hookTarget->controller_) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    hookTarget->controller_->deactivate(isShowInput(message->message));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void TForm1::showOnTop() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(hwnd());
  ::SetFocus(hwnd());
}

LRESULT TForm1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1) controller_->Timer1Timer();
      return 0;
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
    case WM_CLOSE:
      // Closed by the system (at shutdown, say): the window goes without
      // the end-of-show steps, and the players with it.
      MediaPlayer2->close();
      MediaPlayer1->close();
      ::DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default: break;
  }
  return Window::handle(message, wParam, lParam);
}

std::int32_t TForm1::screenWidth() const { return ::GetSystemMetrics(SM_CXSCREEN); }

std::int32_t TForm1::screenHeight() const { return ::GetSystemMetrics(SM_CYSCREEN); }

void TForm1::setBackground(Colour colour) {
  background_ = RGB(colour.red, colour.green, colour.blue);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void TForm1::placePanel(const PanelGeometry& geometry) {
  panel_ = geometry;
  ::MoveWindow(Panel1, geometry.left, geometry.top, geometry.width, geometry.height, TRUE);
}

PanelGeometry TForm1::panelPlace() const { return panel_; }

void TForm1::setPanelVisible(bool visible) { ::ShowWindow(Panel1, visible ? SW_SHOW : SW_HIDE); }

void TForm1::setInfoText(const std::string& text) {
  infoText_ = text;
  SetText(lblinfo, text);
}

std::string TForm1::infoText() const { return infoText_; }

void TForm1::setInfoVisible(bool visible) { ::ShowWindow(lblinfo, visible ? SW_SHOW : SW_HIDE); }

void TForm1::setCursorVisible(bool visible) {
  // ShowCursor counts; one call each way keeps the count where it was.
  if (!visible && !cursorHidden_) {
    ::ShowCursor(FALSE);
    cursorHidden_ = true;
  } else if (visible && cursorHidden_) {
    ::ShowCursor(TRUE);
    cursorHidden_ = false;
  }
}

void TForm1::setTimerEnabled(bool enabled) {
  if (enabled) {
    ::SetTimer(hwnd(), kTimer1, 1000, nullptr);
  } else {
    ::KillTimer(hwnd(), kTimer1);
  }
}

void TForm1::reportError(const std::string& message) { ReportError(hwnd(), message); }

void TForm1::closeShow() {
  // The players close before the window that one of them draws into goes;
  // destroying the window ends the message loop.
  MediaPlayer2->close();
  MediaPlayer1->close();
  ::DestroyWindow(hwnd());
}

}  // namespace quorrel::win
