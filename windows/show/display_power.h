#pragma once

#include <windows.h>

#include <optional>

namespace quorrel::windows_desktop {

// Asks Windows to tell a window when the console display (every monitor of
// the session together) is switched off, dimmed or on again: a
// WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE for
// GUID_CONSOLE_DISPLAY_STATE, the first one with the state at the time of
// registering. The registration ends with the object, before the window
// goes.
class DisplayPowerNotifications {
 public:
  explicit DisplayPowerNotifications(HWND window);
  ~DisplayPowerNotifications();
  DisplayPowerNotifications(const DisplayPowerNotifications&) = delete;
  DisplayPowerNotifications& operator=(const DisplayPowerNotifications&) = delete;

  // False when the system refused: the show then plays on as it always has.
  [[nodiscard]] bool registered() const { return notify_ != nullptr; }

 private:
  HPOWERNOTIFY notify_ = nullptr;
};

// Reads one WM_POWERBROADCAST: true when it says the console display is
// now off, false when it is on or dimmed (a dimmed display is still
// watched), nothing when it is about anything else.
[[nodiscard]] std::optional<bool> ConsoleDisplayOff(WPARAM wParam, LPARAM lParam);

}  // namespace quorrel::windows_desktop
