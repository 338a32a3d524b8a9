#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quorrel {

// Device kinds a player can ask for; only AutoSelect is used, which lets
// the media layer choose by the file name's extension.
enum class DeviceType {
  AutoSelect,
  AVIVideo,
  CDAudio,
  DAT,
  DigitalVideo,
  MMMovie,
  Other,
  Overlay,
  Scanner,
  Sequencer,
  VCR,
  Videodisc,
  WaveAudio,
};

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

// Left, top, right, bottom in pixels of the display window's client area.
struct TRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
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
