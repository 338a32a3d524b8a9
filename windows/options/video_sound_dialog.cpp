#include "windows/options/video_sound_dialog.h"

#include "options/dialog_texts.h"

namespace quorrel::win {

namespace {

enum : int { kButton1 = 101, kRadstoff, kRadston, kRadenoff, kRadenon };

MuteChoice choiceOf(HWND mute, HWND unmute) {
  if (RadioGroup::checked(unmute)) return MuteChoice::Unmute;
  if (RadioGroup::checked(mute)) return MuteChoice::Mute;
  return MuteChoice::LeaveAlone;
}

void selectChoice(const RadioGroup& group, HWND mute, HWND unmute, MuteChoice choice) {
  group.select(choice == MuteChoice::Mute ? mute : choice == MuteChoice::Unmute ? unmute : nullptr);
}

}  // namespace

TFrmSound::TFrmSound(HWND owner) : owner_(owner) {
  // A sizeable window; its outer size is 344 x 243.
  create(L"TFrmSound", kDialogBackground, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, "Video Sound", 0, 0,
         344, 243, owner);
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(L"MS Sans Serif", 8)), FALSE);
  CentreOnScreen(hwnd());
  const HFONT arial = ArialFont();
  Control(hwnd(), L"STATIC", kVideoSoundIntroText, SS_LEFT, 9, 5, 319, 47, 0, arial);
  // The two lowered panels, each holding one group.
  Control(hwnd(), L"STATIC", "", SS_SUNKEN, 5, 64, 321, 47, 0, nullptr);
  Control(hwnd(), L"STATIC", "", SS_SUNKEN, 5, 116, 321, 47, 0, nullptr);
  Radstoff = Control(hwnd(), L"BUTTON", "MUTE system when screensaver STARTS (No Sound)", BS_RADIOBUTTON | WS_TABSTOP,
                     13, 70, 299, 17, kRadstoff, arial);
  Radston = Control(hwnd(), L"BUTTON", "UN-MUTE system when screensaver STARTS (Sound On)", BS_RADIOBUTTON,
                    13, 88, 307, 17, kRadston, arial);
  Radenoff = Control(hwnd(), L"BUTTON", "MUTE system when screensaver ENDS (No Sound)", BS_RADIOBUTTON | WS_TABSTOP,
                     13, 122, 279, 17, kRadenoff, arial);
  Radenon = Control(hwnd(), L"BUTTON", "UN-MUTE system when screensaver ENDS (Sound On)", BS_RADIOBUTTON, 13, 140,
                    298, 17, kRadenon, arial);
  startGroup_ = RadioGroup{Radstoff, Radston};
  endGroup_ = RadioGroup{Radenoff, Radenon};
  addTooltip(Control(hwnd(), L"BUTTON", "Clear Settings", BS_PUSHBUTTON | WS_TABSTOP, 6, 170, 75, 16, kButton1, arial),
             "Clear the button settings. Ignore volume settings.");
  drawnButton("Return", 251, 177, 75, 25, IDOK, arial, ButtonLook{RGB(0, 0, 0), ButtonGlyph::Check, true});
}

void TFrmSound::setChoices(MuteChoice start, MuteChoice end) {
  selectChoice(startGroup_, Radstoff, Radston, start);
  selectChoice(endGroup_, Radenoff, Radenon, end);
}

MuteChoice TFrmSound::startChoice() const { return choiceOf(Radstoff, Radston); }
MuteChoice TFrmSound::endChoice() const { return choiceOf(Radenoff, Radenon); }

void TFrmSound::showModal() { RunModal(hwnd(), owner_); }

void TFrmSound::Button1Click() {
  startGroup_.clear();
  endGroup_.clear();
}

void TFrmSound::BitBtn3Click() { ::ShowWindow(hwnd(), SW_HIDE); }

LRESULT TFrmSound::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      if (id == kButton1) Button1Click();
      if (id == IDOK) BitBtn3Click();
      if (startGroup_.contains(control)) startGroup_.select(control);
      if (endGroup_.contains(control)) endGroup_.select(control);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kDialogBackground,
                            RGB(0, 0, 0));
    case WM_CLOSE:
      // The title bar's close button hides it; the choices stay.
      ::ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default: break;
  }
  return Window::handle(message, wParam, lParam);
}

}  // namespace quorrel::win
