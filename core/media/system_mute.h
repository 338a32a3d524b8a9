#pragma once

#include <memory>
#include <stdexcept>

namespace quorrel {

// A failed mute: "Volume setting error... error is #<code>".
class VolumeError : public std::runtime_error {
 public:
  explicit VolumeError(int code);
  [[nodiscard]] int code() const { return code_; }

 private:
  int code_;
};

// Switches the mute of the system's default sound output. It sets the
// switch and nothing else: it reads no state and remembers nothing.
class SystemMute {
 public:
  virtual ~SystemMute() = default;
  // Throws VolumeError when the switch cannot be set.
  virtual void setSystemMute(bool mute) = 0;
};

}  // namespace quorrel
