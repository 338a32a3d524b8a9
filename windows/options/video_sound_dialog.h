#pragma once

#include "options/options_model.h"
#include "windows/base/radio_group.h"
#include "windows/base/window.h"

namespace quorrel::win {

// "Video Sound": what the show does to the system's mute switch when it
// starts and when it ends. Each group may have no choice; the options
// dialog loads and saves the choices. Closing it only hides it.
class TFrmSound : public Window {
 public:
  explicit TFrmSound(HWND owner);

  void setChoices(MuteChoice start, MuteChoice end);
  [[nodiscard]] MuteChoice startChoice() const;
  [[nodiscard]] MuteChoice endChoice() const;
  void showModal();

  void Button1Click();
  void BitBtn3Click();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND owner_;
  HWND Radstoff = nullptr;
  HWND Radston = nullptr;
  HWND Radenoff = nullptr;
  HWND Radenon = nullptr;
  RadioGroup startGroup_;
  RadioGroup endGroup_;
};

}  // namespace quorrel::win
