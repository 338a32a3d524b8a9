#pragma once

#include "options/options_model.h"
#include "windows/base/radio_group.h"
#include "windows/base/window.h"

namespace quorrel::windows_desktop {

// "Video Sound": what the show does to the system's mute switch when it
// starts and when it ends. Each group may have no choice; the options
// dialog loads and saves the choices. Closing it only hides it.
class VideoSoundDialog : public Window {
 public:
  explicit VideoSoundDialog(HWND owner);

  void setChoices(MuteChoice start, MuteChoice end);
  [[nodiscard]] MuteChoice startChoice() const;
  [[nodiscard]] MuteChoice endChoice() const;
  void showModal();

  void clearChoices();
  void returnToOptions();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND owner_;
  HWND muteAtStartButton = nullptr;
  HWND unmuteAtStartButton = nullptr;
  HWND muteAtEndButton = nullptr;
  HWND unmuteAtEndButton = nullptr;
  RadioGroup startButtons_;
  RadioGroup endButtons_;
};

}  // namespace quorrel::windows_desktop
