#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "show/monitors.h"
#include "show/show_state.h"
#include "show/video_panel.h"

namespace quorrel {

class MediaPlayer;
class UtcClock;

// Pauses a player that is playing; true when it now reads paused. A player
// that has ended, failed or holds nothing is left as it is: the poll deals
// with it once the display is back.
bool PauseIfPlaying(MediaPlayer& player);
// Resume, not play: the file goes on from where it paused.
void ResumeIfPaused(MediaPlayer& player);

// The videos on one monitor other than the primary, when every monitor
// plays: its own panel placed by the size mode against that monitor, its
// own silent player, and its own place in the list. Monitor k of the show's
// order (see InShowOrder) starts, in sequence, at list position 1 + k
// (wrapping) and goes on in sequence from there; at random it adds k to
// the clock value each pick is seeded from. The show's controller drives
// it from the same poll as the primary's video.
class MonitorCycle {
 public:
  // `showEnded` is the show's own flag: input may end the show while a
  // file opens, and what has ended plays nothing more.
  MonitorCycle(Monitor monitor, MonitorScreen& screen, const bool& showEnded)
      : monitor_(std::move(monitor)), screen_(screen), showEnded_(showEnded) {}

  [[nodiscard]] const Monitor& monitor() const { return monitor_; }
  [[nodiscard]] MonitorScreen& screen() const { return screen_; }
  // Its place k in the show's order; it changes as monitors come and go.
  void setOrder(std::int32_t order) { order_ = order; }
  // Whether its videos play, from start() until stop().
  [[nodiscard]] bool cycling() const { return cycling_; }
  // The file the player opened last, for the error message.
  [[nodiscard]] std::string fileName() const;

  // The monitor moved or changed its size: the window covers it again, and
  // a panel is placed again for the new size (a video at its own size keeps
  // it, centred anew).
  void follow(const Monitor& monitor, const ShowState& state);
  // The first video, as monitor k picks it. One that cannot be
  // started is passed over on the next poll, without a message, as the
  // primary's first is.
  void start(const ShowState& state, const UtcClock& clock);
  // Replaces a video that has ended, or whose start failed. Throws the
  // player's error when the next one cannot be started.
  void poll(const ShowState& state, const UtcClock& clock);
  // The display powered down, and up again.
  void hold();
  void release();
  // The cycle ends for good: the player stops, the panel stays black.
  void stop();

 private:
  void startNext(const ShowState& state, const UtcClock& clock);
  void placePanel(const Rect& place);

  Monitor monitor_;
  MonitorScreen& screen_;
  const bool& showEnded_;
  std::int32_t order_ = 1;
  MediaPlayer* player_ = nullptr;
  bool cycling_ = false;
  bool held_ = false;
  std::int32_t sequenceIndex_ = 0;
  std::int32_t currentIndex_ = 0;
  PlacedPanel panel_;
};

}  // namespace quorrel
