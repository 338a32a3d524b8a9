#pragma once

#include <string>

namespace quorrel::linux_desktop {

struct DisplayProbe {
  bool reachable = false;
  bool showWindowOnScreen = false;
};

// Both questions the entry asks of the display, over one connection.
[[nodiscard]] DisplayProbe ProbeDisplay(const char* displayName = nullptr);

// Whether an X display can be reached at all (DISPLAY, or `displayName`
// when given). Qt aborts when it cannot connect, so the entry asks first.
[[nodiscard]] bool DisplayReachable(const char* displayName = nullptr);

// Whether a top-level window of class "TForm1" titled "FrmQuorrel33" (a
// running show) is on the display. No reachable display: there is none.
[[nodiscard]] bool ShowWindowIsOnScreen(const char* displayName = nullptr);

}  // namespace quorrel::linux_desktop
