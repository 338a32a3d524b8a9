#pragma once

#include "windows/options/dialog_builder.h"

namespace quorrel::windows_desktop {

// "Quorrel Displayer": the version and the disclaimer. Made once, hidden,
// by the configuration mode; "Return" hides it again.
class AboutBox : public LaidOutWindow {
 public:
  AboutBox();
  void showModal(HWND owner);
  void returnToOptions();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quorrel::windows_desktop
