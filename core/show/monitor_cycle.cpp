#include "show/monitor_cycle.h"

#include <exception>
#include <utility>

#include "base/log.h"
#include "media/media_player.h"
#include "show/random_pick.h"

namespace quorrel {

bool PauseIfPlaying(MediaPlayer& player) {
  if (!player.isOpen() || player.mode() != PlayerMode::Playing) return false;
  player.pause();
  return player.mode() == PlayerMode::Paused;
}

void ResumeIfPaused(MediaPlayer& player) {
  if (player.isOpen() && player.mode() == PlayerMode::Paused) player.resume();
}

std::string MonitorCycle::fileName() const { return player_ != nullptr ? player_->fileName() : std::string(); }

void MonitorCycle::placePanel(const Rect& place) {
  panel_ = OnScreen(place, monitor_.place.width, monitor_.place.height);
  screen_.placePanel(panel_.shown);
}

void MonitorCycle::follow(const Monitor& monitor, const ShowState& state) {
  monitor_ = monitor;
  screen_.cover(monitor_.place);
  if (!cycling_) return;
  const std::int32_t width = monitor_.place.width;
  const std::int32_t height = monitor_.place.height;
  if (state.SizeMode == VideoSizeMode::Natural) {
    placePanel(CentredPanel(width, height, panel_.whole.width, panel_.whole.height));
  } else {
    placePanel(VideoPanelPlace(state, width, height));
  }
  if (player_->isOpen()) player_->setDisplayRect(panel_.videoArea());
}

void MonitorCycle::start(const ShowState& state, const UtcClock& clock) {
  cycling_ = true;
  player_ = &screen_.videoPlayer();
  // Monitor k's first pick in sequence is position 1 + k, wrapping.
  sequenceIndex_ = order_ % state.PlayListCount;
  placePanel(VideoPanelPlace(state, monitor_.place.width, monitor_.place.height));
  try {
    startNext(state, clock);
  } catch (const std::exception& error) {
    LogError("cannot play " + state.entry(currentIndex_) + ": " + error.what());
  }
}

void MonitorCycle::startNext(const ShowState& state, const UtcClock& clock) {
  currentIndex_ =
      PickVideo(state.PlayOrder, state.PlayListCount, sequenceIndex_, clock, static_cast<std::uint32_t>(order_));
  MediaPlayer& video = *player_;
  video.setFileName(state.entry(currentIndex_));
  video.open();
  if (showEnded_) return;
  if (state.SizeMode == VideoSizeMode::Natural) {
    video.setDisplayRect(Rect{0, 0, 0, 0});
    const Rect natural = video.displayRect(Rect{});
    placePanel(CentredPanel(monitor_.place.width, monitor_.place.height, natural.width, natural.height));
  }
  video.setDisplayRect(panel_.videoArea());
  video.play();
}

void MonitorCycle::poll(const ShowState& state, const UtcClock& clock) {
  if (!cycling_ || showEnded_) return;
  MediaPlayer& video = *player_;
  if (video.isOpen() && video.mode() != PlayerMode::Stopped) return;
  video.close();
  startNext(state, clock);
}

void MonitorCycle::hold() {
  if (cycling_ && PauseIfPlaying(*player_)) held_ = true;
}

void MonitorCycle::release() {
  if (std::exchange(held_, false) && cycling_) ResumeIfPaused(*player_);
}

void MonitorCycle::stop() {
  if (!std::exchange(cycling_, false)) return;
  held_ = false;
  if (player_->isOpen() && player_->mode() == PlayerMode::Playing) player_->stop();
}

}  // namespace quorrel
