#include "media/midi_timing.h"

#include <algorithm>
#include <cmath>

namespace quorrel {

namespace {

constexpr std::int64_t kDefaultTempo = 500000;  // 120 beats per minute

class Reader {
 public:
  Reader(const std::string& bytes, std::size_t begin, std::size_t end) : bytes_(bytes), at_(begin), end_(end) {}
  [[nodiscard]] bool atEnd() const { return at_ >= end_; }
  [[nodiscard]] bool ok() const { return ok_; }
  int byte() {
    if (at_ >= end_) {
      ok_ = false;
      return 0;
    }
    return static_cast<unsigned char>(bytes_[at_++]);
  }
  std::uint32_t big(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<std::uint32_t>(byte());
    return value;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  std::uint32_t variable() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const int b = byte();
      value = (value << 7) | static_cast<std::uint32_t>(b & 0x7f);
      if ((b & 0x80) == 0) return value;
    }
    ok_ = false;
    return value;
  }
  void skip(std::uint32_t count) {
    if (count > end_ - at_) {
      ok_ = false;
      at_ = end_;
      return;
    }
    at_ += count;
  }
  [[nodiscard]] std::size_t at() const { return at_; }

 private:
  const std::string& bytes_;
  std::size_t at_;
  std::size_t end_;
  bool ok_ = true;
};

}  // namespace

bool MidiTiming::parse(const std::string& bytes) {
  tempo_.clear();
  totalTicks_ = 0;
  if (bytes.size() < 14 || bytes.compare(0, 4, "MThd") != 0) return false;
  Reader header(bytes, 4, bytes.size());
  const std::uint32_t headerLength = header.big(4);
  if (headerLength < 6 || headerLength > bytes.size() - 8) return false;
  header.big(2);  // format
  const std::uint32_t tracks = header.big(2);
  const std::uint32_t division = header.big(2);
  if (tracks == 0 || division == 0) return false;
  if ((division & 0x8000) != 0) {
    const int framesPerSecond = 256 - static_cast<int>(division >> 8);
    smpteTicksPerSecond_ = (framesPerSecond == 29 ? 29.97 : framesPerSecond) * static_cast<double>(division & 0xff);
    if (smpteTicksPerSecond_ <= 0) return false;
  } else {
    ticksPerBeat_ = static_cast<int>(division);
  }

  std::size_t at = 8 + headerLength;
  std::uint32_t found = 0;
  while (found < tracks && at + 8 <= bytes.size()) {
    Reader chunk(bytes, at + 4, bytes.size());
    const std::uint32_t length = chunk.big(4);
    const std::size_t begin = at + 8;
    if (length > bytes.size() - begin) return false;
    at = begin + length;
    if (bytes.compare(begin - 8, 4, "MTrk") != 0) continue;
    ++found;
    Reader track(bytes, begin, at);
    std::int64_t tick = 0;
    int status = 0;
    while (!track.atEnd() && track.ok()) {
      tick += track.variable();
      int first = track.byte();
      if (first == 0xff) {
        const int type = track.byte();
        const std::uint32_t size = track.variable();
        if (type == 0x51 && size == 3) {
          tempo_.push_back(TempoChange{tick, static_cast<std::int64_t>(track.big(3))});
        } else {
          track.skip(size);
        }
        if (type == 0x2f) break;
        continue;
      }
      if (first == 0xf0 || first == 0xf7) {
        track.skip(track.variable());
        continue;
      }
      if ((first & 0x80) != 0) {
        status = first;
        first = track.byte();
      } else if (status == 0) {
        return false;  // data without a status byte to run on
      }
      const int kind = status & 0xf0;
      if (kind != 0xc0 && kind != 0xd0) track.byte();
    }
    if (!track.ok()) return false;
    totalTicks_ = std::max(totalTicks_, tick);
  }
  if (found == 0) return false;
  std::stable_sort(tempo_.begin(), tempo_.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  return true;
}

std::int64_t MidiTiming::toMilliseconds(std::int64_t tick) const {
  if (smpteTicksPerSecond_ > 0) return std::llround(static_cast<double>(tick) * 1000.0 / smpteTicksPerSecond_);
  if (ticksPerBeat_ <= 0) return 0;
  double microseconds = 0;
  std::int64_t lastTick = 0;
  std::int64_t tempo = kDefaultTempo;
  for (const TempoChange& change : tempo_) {
    if (change.tick >= tick) break;
    microseconds += static_cast<double>(change.tick - lastTick) * static_cast<double>(tempo) / ticksPerBeat_;
    lastTick = change.tick;
    tempo = change.microsecondsPerBeat;
  }
  microseconds += static_cast<double>(tick - lastTick) * static_cast<double>(tempo) / ticksPerBeat_;
  return std::llround(microseconds / 1000.0);
}

}  // namespace quorrel
