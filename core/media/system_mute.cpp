#include "media/system_mute.h"

#include <string>

namespace quorrel {

// Kept in the core library so that code and tests which only use the
// interface (with a fake mute) need no sound library.
VolumeError::VolumeError(int code)
    : std::runtime_error("Volume setting error... error is #" + std::to_string(code)), code_(code) {}

}  // namespace quorrel
