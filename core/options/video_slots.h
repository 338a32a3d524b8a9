#pragma once

#include <array>
#include <string>

#include "settings/settings_schema.h"

namespace quorrel {

// The options dialog's copy of the slots: entry 0 is the background sound
// file as read at load, entries 1 to 1000 the video slots, each a full path
// or the empty-slot marker.
using VideoSlots = std::array<std::string, kSlotCount + 1>;

}  // namespace quorrel
