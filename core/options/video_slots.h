#pragma once

#include <array>
#include <string>

#include "settings/settings_schema.h"

namespace quorrel {

// The options dialog's copy of the video slots 1 to 1000, each a full path
// or the empty-slot marker, addressed by slot number as the file names them.
class VideoSlots {
 public:
  [[nodiscard]] std::string& operator[](int slot) { return texts_.at(static_cast<std::size_t>(slot - 1)); }
  [[nodiscard]] const std::string& operator[](int slot) const { return texts_.at(static_cast<std::size_t>(slot - 1)); }

 private:
  std::array<std::string, kSlotCount> texts_;
};

}  // namespace quorrel
