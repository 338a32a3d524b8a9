#pragma once

#include "windows/base/window.h"

namespace quorrel::win {

// "Quorrel Displayer": the version and the disclaimer. Made once, hidden,
// by the configuration mode; "Return" hides it again.
class Tfrmdisc : public Window {
 public:
  Tfrmdisc();
  void showModal(HWND owner);
  void Button1Click();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quorrel::win
