#include "windows/show/monitor_window.h"

namespace quorrel::windows_desktop {

MonitorWindow::MonitorWindow(const quorrel::Monitor& monitor, MediaBackend& backend) : backend_(backend) {
  // A tool window, so that the covers stand in no task bar or Alt+Tab list.
  create(L"QuorrelMonitorCover", RGB(0, 0, 0), WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, "Quorrel",
         monitor.place.left, monitor.place.top, monitor.place.width, monitor.place.height, nullptr);
  if (hwnd() == nullptr) return;
  // On screen without taking the keyboard from the show window.
  ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

MonitorWindow::~MonitorWindow() {
  // The player goes before the panel it draws into.
  player_.reset();
  // Destroyed without being hidden first: under Wine on a desktop without
  // a window manager, hiding a window waits two seconds for the window
  // manager's answer (see ShowWindow::releasePlayersAndEnd).
  if (hwnd() != nullptr) {
    takeOffScreen();
    ::SetWindowLongPtrW(hwnd(), GWL_STYLE, ::GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
  }
}

void MonitorWindow::cover(const Rect& monitor) {
  ::SetWindowPos(hwnd(), HWND_TOPMOST, monitor.left, monitor.top, monitor.width, monitor.height, SWP_NOACTIVATE);
}

void MonitorWindow::placePanel(const Rect& panel) {
  if (panel_ == nullptr) return;
  ::MoveWindow(panel_, panel.left, panel.top, panel.width, panel.height, TRUE);
  ::ShowWindow(panel_, panel.empty() ? SW_HIDE : SW_SHOW);
}

MediaPlayer& MonitorWindow::videoPlayer() {
  if (!player_) {
    panel_ = Panel(hwnd(), L"QuorrelVideoPanel", RGB(0, 0, 0), 0, 0, 1, 1);
    player_ = std::make_unique<MediaPlayer>(backend_, reinterpret_cast<NativeWindow>(panel_), true);
  }
  return *player_;
}

void MonitorWindow::takeOffScreen() { ::SetWindowRgn(hwnd(), ::CreateRectRgn(0, 0, 0, 0), TRUE); }

LRESULT MonitorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      // No cursor over the show, on any monitor.
      ::SetCursor(nullptr);
      return TRUE;
    case WM_CLOSE:
      // Only the show ends the show; a cover is not closed on its own.
      return 0;
    default:
      break;
  }
  return Window::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
