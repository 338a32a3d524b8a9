#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "base/geometry.h"

namespace quorrel {

// What read mode reports. The numbers are the ones callers have always seen.
enum class PlayerMode : std::uint8_t {
  NotReady = 0,
  Stopped = 1,
  Playing = 2,
  Recording = 3,
  Seeking = 4,
  Paused = 5,
  Open = 6,
};

// An X11 window id; 0 means no window.
using NativeWindow = std::uint64_t;

// Raised when a file cannot be opened (with the media layer's text for the
// failure) and when play, stop, pause or resume find nothing open.
class MediaDeviceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace quorrel
