#include "windows/options/video_sound_dialog.h"

#include "options/options_controller.h"

namespace quorrel::windows_desktop {

namespace {

HWND buttonFor(HWND mute, HWND unmute, MuteChoice choice) {
  return choice == MuteChoice::Mute ? mute : choice == MuteChoice::Unmute ? unmute : nullptr;
}

}  // namespace

VideoSoundDialog::VideoSoundDialog(HWND owner, OptionsController& controller) : owner_(owner), controller_(controller) {
  createLaidOut(L"QuorrelVideoSound", 0, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, VideoSoundDialogLayout(),
                owner);
  using enum ControlId;
  muteAtStartButton = control(MuteAtStartButton);
  unmuteAtStartButton = control(UnmuteAtStartButton);
  muteAtEndButton = control(MuteAtEndButton);
  unmuteAtEndButton = control(UnmuteAtEndButton);
  startButtons_ = RadioGroup{muteAtStartButton, unmuteAtStartButton};
  endButtons_ = RadioGroup{muteAtEndButton, unmuteAtEndButton};
}

void VideoSoundDialog::showChoices(MuteChoice start, MuteChoice end) {
  startButtons_.select(buttonFor(muteAtStartButton, unmuteAtStartButton, start));
  endButtons_.select(buttonFor(muteAtEndButton, unmuteAtEndButton, end));
}

void VideoSoundDialog::showModal() { RunModal(hwnd(), owner_); }

LRESULT VideoSoundDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const ControlId id = commandSource(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      if (id == ControlId::ClearChoicesButton) controller_.clearMuteChoices();
      if (id == ControlId::VideoSoundReturnButton) ::ShowWindow(hwnd(), SW_HIDE);
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
    case WM_CLOSE:
      // The title bar's close button hides it; the choices stay.
      ::ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default:
      break;
  }
  return LaidOutWindow::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
