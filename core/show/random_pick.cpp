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

std::int32_t PickVideo(VideoOrder order, std::int32_t count, std::int32_t& sequenceIndex, const UtcClock& clock,
                       std::uint32_t seedOffset) {
  if (order == VideoOrder::Random) {
    // The sum wraps as the 32-bit state does.
    ShowRandom random(clock.millisecondsSinceMidnight() + seedOffset);
    return static_cast<std::int32_t>(random.draw(static_cast<std::uint32_t>(count))) + 1;
  }
  std::int32_t next = sequenceIndex + 1;
  if (next > count) next = 1;
  sequenceIndex = next;
  return next;
}

void PickNextVideo(ShowState& state, const UtcClock& clock) {
  state.CurrentIndex = PickVideo(state.PlayOrder, state.PlayListCount, state.SequenceIndex, clock);
}

}  // namespace quorrel
