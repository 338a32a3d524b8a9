#pragma once

#include <string>
#include <vector>

#include "base/geometry.h"

namespace quorrel::windows_desktop {

// A monitor of the desktop: its place on the virtual screen in its own
// device pixels, whatever its scale (Quorrel is aware of each monitor's
// DPI, so Windows hands it device pixels), and its DPI.
struct Monitor {
  Rect place;
  int dpi = 96;
  bool primary = false;
  // The system's device name ("\\.\DISPLAY2"), UTF-8.
  std::string name;
};

// The monitors as the system lists them, the primary one first (where the
// system flags none, the first it lists stands first). Never empty: without
// an answer, the primary screen's size at (0, 0) stands in.
[[nodiscard]] std::vector<Monitor> SystemMonitors();

// The primary monitor, which the show covers.
[[nodiscard]] Monitor PrimaryMonitor();

}  // namespace quorrel::windows_desktop
