#pragma once

#include <memory>

#include "media/system_mute.h"

namespace quorrel::linux_desktop {

// The mute switch of the default sink of the PulseAudio server (PipeWire's
// pulse server answers the same protocol).
[[nodiscard]] std::unique_ptr<SystemMute> CreatePulseMute();

}  // namespace quorrel::linux_desktop
