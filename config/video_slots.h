#pragma once

#include <array>
#include <string>

namespace quorrel {

// The options dialog's copy of the slots: entry 0 is the background sound
// file as read at load, entries 1 to 1000 the video slots, each a full path
// or the empty-slot marker.
inline constexpr int kVideoSlotCount = 1000;
inline constexpr const char* kEmptySlot = "Null";
using VideoSlots = std::array<std::string, kVideoSlotCount + 1>;

// "Name1" to "Name1000".
[[nodiscard]] std::string SlotKey(int slot);

}  // namespace quorrel
