#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorrel {

// The timing of a Standard MIDI File: its length and the conversion from
// the synthesizer's tick counter to milliseconds, following the file's
// tempo changes. FluidSynth reports positions in ticks only, while a player
// compares positions and lengths in milliseconds.
class MidiTiming {
 public:
  // False when `bytes` is not a Standard MIDI File with at least one track.
  [[nodiscard]] bool parse(const std::string& bytes);

  [[nodiscard]] std::int64_t totalTicks() const { return totalTicks_; }
  [[nodiscard]] std::int64_t lengthMilliseconds() const { return toMilliseconds(totalTicks_); }
  [[nodiscard]] std::int64_t toMilliseconds(std::int64_t tick) const;

 private:
  struct TempoChange {
    std::int64_t tick;
    std::int64_t microsecondsPerBeat;
  };
  int ticksPerBeat_ = 0;
  double smpteTicksPerSecond_ = 0;  // non-zero for SMPTE-timed files
  std::int64_t totalTicks_ = 0;
  std::vector<TempoChange> tempo_;
};

}  // namespace quorrel
