#include "windows/options/video_sound_dialog.h"

#include "options/dialog_texts.h"
#include "options/options_controller.h"

namespace quorrel::windows_desktop {

namespace {

enum : int { kClearButton = 101, kMuteAtStartButton, kUnmuteAtStartButton, kMuteAtEndButton, kUnmuteAtEndButton };

HWND buttonFor(HWND mute, HWND unmute, MuteChoice choice) {
  return choice == MuteChoice::Mute ? mute : choice == MuteChoice::Unmute ? unmute : nullptr;
}

}  // namespace

VideoSoundDialog::VideoSoundDialog(HWND owner, OptionsController& controller) : owner_(owner), controller_(controller) {
  // A sizeable window; its outer size is 344 x 243.
  create(L"QuorrelVideoSound", kDialogBackground, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, "Video Sound",
         0, 0, 344, 243, owner);
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(L"MS Sans Serif", 8)), FALSE);
  CentreOnScreen(hwnd());
  const HFONT arial = ArialFont();
  Control(hwnd(), L"STATIC", kVideoSoundIntroText, SS_LEFT, 9, 5, 319, 47, 0, arial);
  // The two lowered panels, each holding one group.
  Control(hwnd(), L"STATIC", "", SS_SUNKEN, 5, 64, 321, 47, 0, nullptr);
  Control(hwnd(), L"STATIC", "", SS_SUNKEN, 5, 116, 321, 47, 0, nullptr);
  muteAtStartButton = Control(hwnd(), L"BUTTON", "MUTE system when screensaver STARTS (No Sound)",
                              BS_RADIOBUTTON | WS_TABSTOP, 13, 70, 299, 17, kMuteAtStartButton, arial);
  unmuteAtStartButton = Control(hwnd(), L"BUTTON", "UN-MUTE system when screensaver STARTS (Sound On)", BS_RADIOBUTTON,
                                13, 88, 307, 17, kUnmuteAtStartButton, arial);
  muteAtEndButton = Control(hwnd(), L"BUTTON", "MUTE system when screensaver ENDS (No Sound)",
                            BS_RADIOBUTTON | WS_TABSTOP, 13, 122, 279, 17, kMuteAtEndButton, arial);
  unmuteAtEndButton = Control(hwnd(), L"BUTTON", "UN-MUTE system when screensaver ENDS (Sound On)", BS_RADIOBUTTON, 13,
                              140, 298, 17, kUnmuteAtEndButton, arial);
  startButtons_ = RadioGroup{muteAtStartButton, unmuteAtStartButton};
  endButtons_ = RadioGroup{muteAtEndButton, unmuteAtEndButton};
  addTooltip(
      Control(hwnd(), L"BUTTON", "Clear Settings", BS_PUSHBUTTON | WS_TABSTOP, 6, 170, 75, 16, kClearButton, arial),
      "Clear the button settings. Ignore volume settings.");
  drawnButton("Return", 251, 177, 75, 25, IDOK, arial, ButtonLook{RGB(0, 0, 0), ButtonGlyph::Check, true});
}

void VideoSoundDialog::showChoices(MuteChoice start, MuteChoice end) {
  startButtons_.select(buttonFor(muteAtStartButton, unmuteAtStartButton, start));
  endButtons_.select(buttonFor(muteAtEndButton, unmuteAtEndButton, end));
}

void VideoSoundDialog::showModal() { RunModal(hwnd(), owner_); }

LRESULT VideoSoundDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      if (id == kClearButton) controller_.clearMuteChoices();
      if (id == IDOK) ::ShowWindow(hwnd(), SW_HIDE);
      if (startButtons_.contains(control)) {
        startButtons_.select(control);
        controller_.chooseStartMute(control == muteAtStartButton ? MuteChoice::Mute : MuteChoice::Unmute);
      }
      if (endButtons_.contains(control)) {
        endButtons_.select(control);
        controller_.chooseEndMute(control == muteAtEndButton ? MuteChoice::Mute : MuteChoice::Unmute);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kDialogBackground,
                            RGB(0, 0, 0));
    case WM_CLOSE:
      // The title bar's close button hides it; the choices stay.
      ::ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default:
      break;
  }
  return Window::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
