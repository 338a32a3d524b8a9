#include "windows/options/about_box.h"

#include "options/dialog_texts.h"

namespace quorrel::windows_desktop {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // a fixed frame without any title-bar button

}  // namespace

AboutBox::AboutBox() {
  const SIZE outer = OuterSize(kStyle, 0, 514, 336);
  create(L"QuorrelAbout", kDialogBackground, 0, kStyle, "Quorrel Displayer", 0, 0, outer.cx, outer.cy, nullptr);
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(L"MS Sans Serif", 8)), FALSE);
  CentreOnScreen(hwnd());
  // The group frames' contents are placed from the frames' corners.
  constexpr int group1Left = 13;
  constexpr int group1Top = 16;
  constexpr int group2Left = group1Left + 20;
  constexpr int group2Top = group1Top + 80;
  Control(hwnd(), L"BUTTON", "", BS_GROUPBOX, group1Left, group1Top, 489, 265, 0, DialogFont(L"MS Sans Serif", 8));
  Control(hwnd(), L"STATIC", "Version 3.26", SS_LEFT, group1Left + 22, group1Top + 22, 203, 43, 0,
          DialogFont(L"Arial", 9));
  Control(hwnd(), L"BUTTON", "Disclaimer", BS_GROUPBOX, group2Left, group2Top, 437, 169, 0,
          DialogFont(L"Terminal", 9, false, OEM_CHARSET));
  const HFONT courier = DialogFont(L"Courier New", 8);
  Control(hwnd(), L"STATIC", kDisclaimer1, SS_LEFT, group2Left + 12, group2Top + 16, 405, 65, 0, courier);
  Control(hwnd(), L"STATIC", kDisclaimer2, SS_LEFT, group2Left + 12, group2Top + 58, 413, 49, 0, courier);
  Control(hwnd(), L"STATIC", kDisclaimer3, SS_LEFT, group2Left + 12, group2Top + 110, 405, 49, 0, courier);
  Control(hwnd(), L"BUTTON", "Return", BS_DEFPUSHBUTTON | WS_TABSTOP, 428, 300, 75, 25, IDOK, ArialFont());
}

void AboutBox::showModal(HWND owner) { RunModal(hwnd(), owner); }

void AboutBox::returnToOptions() { ::ShowWindow(hwnd(), SW_HIDE); }

LRESULT AboutBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) returnToOptions();
      return 0;
    case WM_CTLCOLORSTATIC:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kDialogBackground,
                            RGB(0, 0, 0));
    case WM_CLOSE:
      returnToOptions();
      return 0;
    default:
      break;
  }
  return Window::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
