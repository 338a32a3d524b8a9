#pragma once

#include <cstdint>
#include <string>

namespace quorrel::linux_desktop::media_errors {

// Result codes of the platform back ends. They are stable numbers, so a code
// that a user reports means the same thing in every version: the back ends'
// own failures count up from 1001, and libmpv's negative error numbers are
// mapped to 2000 plus their magnitude.
enum : std::uint32_t {
  kSuccess = 0,
  kNotLocalFile = 1001,
  kFileNotFound = 1002,
  kNotRegularFile = 1003,
  kOpenTimedOut = 1004,
  kNoDeviceOpen = 1005,
  kNoDisplay = 1006,
  kCannotResume = 1007,
  kNoSoundfont = 1008,
  kMidiUnreadable = 1009,
  kSoundOutputFailed = 1010,
  kPlayerStartFailed = 1011,
  kDisplayWindowFailed = 1012,
  kPlaybackFailed = 1013,
  kMpvBase = 2000,
};

// The code for one of libmpv's (negative) error numbers.
[[nodiscard]] std::uint32_t FromMpvError(int mpvError);

// The text for a code, or empty text when the code is none of ours.
[[nodiscard]] std::string Text(std::uint32_t code);

}  // namespace quorrel::linux_desktop::media_errors
