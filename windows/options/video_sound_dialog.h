#pragma once

#include "options/options_model.h"

namespace quorrel {
class OptionsController;
}  // namespace quorrel
#include "windows/base/radio_group.h"
#include "windows/options/dialog_builder.h"

namespace quorrel::windows_desktop {

// "Video Sound": what the show does to the system's mute switch when it
// starts and when it ends. Each group may have no choice. The choices are
// the options controller's, which the options dialog loads and saves; this
// window shows them and forwards the user's clicks. Closing it only hides
// it.
class VideoSoundDialog : public LaidOutWindow {
 public:
  VideoSoundDialog(HWND owner, OptionsController& controller);

  void showChoices(MuteChoice start, MuteChoice end);
  void showModal();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND owner_;
  OptionsController& controller_;
  HWND muteAtStartButton = nullptr;
  HWND unmuteAtStartButton = nullptr;
  HWND muteAtEndButton = nullptr;
  HWND unmuteAtEndButton = nullptr;
  RadioGroup startButtons_;
  RadioGroup endButtons_;
};

}  // namespace quorrel::windows_desktop
