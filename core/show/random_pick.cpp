#include "show/random_pick.h"

#include <chrono>

namespace quorrel {

std::uint32_t ShowRandom::draw(std::uint32_t range) {
  state_ = state_ * 134775813U + 1U;
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * range) >> 32);
}

std::uint32_t SystemUtcClock::millisecondsSinceMidnight() const {
  using namespace std::chrono;
  const auto now = time_point_cast<milliseconds>(system_clock::now());
  const auto sinceMidnight = now - floor<days>(now);
  return static_cast<std::uint32_t>(sinceMidnight.count());
}

void PickNextVideo(ShowState& state, const UtcClock& clock) {
  if (state.PlayOrder == VideoOrder::Random) {
    ShowRandom random(clock.millisecondsSinceMidnight());
    state.CurrentIndex = static_cast<std::int32_t>(random.draw(static_cast<std::uint32_t>(state.PlayListCount))) + 1;
    return;
  }
  state.CurrentIndex = state.SequenceIndex + 1;
  if (state.CurrentIndex > state.PlayListCount) state.CurrentIndex = 1;
  state.SequenceIndex = state.CurrentIndex;
}

}  // namespace quorrel
