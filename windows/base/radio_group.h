#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace quorrel::windows_desktop {

// Radio buttons of one group, which may also stand with none selected.
// Plain (not automatic) radio buttons are used, and the group checks the
// clicked one and clears the others itself, so that groups never depend on
// the order the buttons were made in.
class RadioGroup {
 public:
  RadioGroup() = default;
  RadioGroup(std::initializer_list<HWND> buttons) : buttons_(buttons) {}
  [[nodiscard]] bool contains(HWND button) const {
    for (HWND b : buttons_) {
      if (b == button) return true;
    }
    return false;
  }
  void select(HWND button) const {
    for (HWND b : buttons_) ::SendMessageW(b, BM_SETCHECK, b == button ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void clear() const { select(nullptr); }
  [[nodiscard]] static bool checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

 private:
  std::vector<HWND> buttons_;
};

}  // namespace quorrel::windows_desktop
