#pragma once

#include <string>
#include <vector>

#include "base/geometry.h"

namespace quorrel {

class MediaPlayer;

// One monitor of the desktop, as a front end finds it.
struct Monitor {
  // The system's name for it, which stays the same while it is connected
  // ("HDMI-1", "\\.\DISPLAY2"): what tells a moved monitor from a new one.
  std::string name;
  // Its place on the desktop, in its own device pixels.
  Rect place;
  bool primary = false;
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The order the show counts monitors in: the primary first (monitor 0),
// then the others from left to right, and from top to bottom where two
// share a left edge. Where no monitor says it is the primary, the first
// one given stands first.
[[nodiscard]] std::vector<Monitor> InShowOrder(std::vector<Monitor> monitors);

// The monitors with each place once: a monitor whose rectangle equals one
// before it (a projector or a TV cloning the primary) shows what that one
// shows, so it gets no window of its own, which would be stacked over the
// other's picture. The first of equal ones stays, so the primary stays
// when given first.
[[nodiscard]] std::vector<Monitor> WithoutMirrors(std::vector<Monitor> monitors);

// A window over one monitor other than the primary: black, borderless and
// above every other window, with the cursor hidden; input over it ends the
// show as input over the show window does. It may hold a video panel and
// a silent player that draws into it.
class MonitorScreen {
 public:
  virtual ~MonitorScreen() = default;
  // The monitor moved or changed its size: the window covers it again.
  virtual void cover(const Rect& monitor) = 0;
  // The panel's place in the window; an empty rectangle hides it.
  virtual void placePanel(const Rect& panel) = 0;
  // The player that draws into the panel, made on the first call. A screen
  // that is only a cover never asks for it.
  [[nodiscard]] virtual MediaPlayer& videoPlayer() = 0;
};

// The windows over the other monitors, which the front end owns: it takes
// them off the screen with the show window at the end of the show, and
// releases their players with the show window's.
class MonitorScreens {
 public:
  virtual ~MonitorScreens() = default;
  // A window over `monitor`, on screen until close() or the end of the show.
  [[nodiscard]] virtual MonitorScreen& openScreen(const Monitor& monitor) = 0;
  // The monitor has gone: its window goes, and its player is stopped and
  // released.
  virtual void closeScreen(MonitorScreen& screen) = 0;
};

}  // namespace quorrel
