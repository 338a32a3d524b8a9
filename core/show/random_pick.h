#pragma once

#include <cstdint>

#include "show/show_state.h"

namespace quorrel {

// The show's random generator: a 32-bit linear congruential state whose
// draws are the upper half of the 64-bit product of the new state and the
// range. Kept exactly so, since the order of a random show follows from it.
class ShowRandom {
 public:
  explicit ShowRandom(std::uint32_t seed) : state_(seed) {}
  // A number from 0 to range - 1; range must be positive.
  [[nodiscard]] std::uint32_t draw(std::uint32_t range);
  [[nodiscard]] std::uint32_t state() const { return state_; }

 private:
  std::uint32_t state_;
};

// Milliseconds since midnight, in coordinated universal time.
class UtcClock {
 public:
  virtual ~UtcClock() = default;
  [[nodiscard]] virtual std::uint32_t millisecondsSinceMidnight() const = 0;
};

// The system's clock.
class SystemUtcClock : public UtcClock {
 public:
  [[nodiscard]] std::uint32_t millisecondsSinceMidnight() const override;
};

// The 1-based position of the next video of a list of `count` (at least
// one): in sequence, the one after `sequenceIndex`, wrapping to the first,
// which then becomes the new `sequenceIndex`; at random, any position, the
// generator seeded afresh from the clock with `seedOffset` added, so that
// pickers that ask in the same millisecond need not pick alike.
[[nodiscard]] std::int32_t PickVideo(VideoOrder order, std::int32_t count, std::int32_t& sequenceIndex,
                                     const UtcClock& clock, std::uint32_t seedOffset = 0);

// Sets CurrentIndex to the next video: in sequence, the one after the last
// picked in sequence, wrapping to the first; at random, any entry (the last
// one included), with the generator seeded afresh from the clock.
void PickNextVideo(ShowState& state, const UtcClock& clock);

}  // namespace quorrel
