#include "windows/options/about_box.h"

namespace quorrel::windows_desktop {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // a fixed frame without any title-bar button

}  // namespace

AboutBox::AboutBox() { createLaidOut(L"QuorrelAbout", 0, kStyle, AboutBoxLayout(), nullptr); }

void AboutBox::showModal(HWND owner) { RunModal(hwnd(), owner); }

void AboutBox::returnToOptions() { ::ShowWindow(hwnd(), SW_HIDE); }

LRESULT AboutBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (commandSource(wParam) == ControlId::AboutReturnButton) returnToOptions();
      return 0;
    case WM_CLOSE:
      returnToOptions();
      return 0;
    default:
      break;
  }
  return LaidOutWindow::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
