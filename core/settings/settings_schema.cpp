#include "settings/settings_schema.h"

#include "settings/profile.h"

namespace quorrel {

std::string SlotKey(int slot) { return "Name" + std::to_string(slot); }

MuteChoice MuteChoiceOf(std::int32_t stored) {
  switch (stored) {
    case 0:
      return MuteChoice::Mute;
    case 1:
      return MuteChoice::Unmute;
    default:
      return MuteChoice::LeaveAlone;
  }
}

VideoSizeMode VideoSizeModeOf(std::int32_t stored) {
  return stored >= 1 && stored <= 4 ? static_cast<VideoSizeMode>(stored) : VideoSizeMode::Natural;
}

VideoOrder VideoOrderOf(std::int32_t stored) { return stored == 1 ? VideoOrder::Random : VideoOrder::InSequence; }

bool EveryMonitorOf(std::string_view stored) { return stored == kEveryMonitorOn; }

bool IdleStartOf(std::string_view stored) { return stored == kIdleStartOn; }

std::int32_t IdleMinutesOf(std::int32_t stored) {
  return stored >= kIdleMinutesMinimum && stored <= kIdleMinutesMaximum ? stored : kIdleMinutesDefault;
}

bool IsEmptySlotForShow(std::string_view value) {
  if (value.size() != kEmptySlot.size()) return false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    char marker = kEmptySlot[i];
    if (marker >= 'a' && marker <= 'z') marker = static_cast<char>(marker - 'a' + 'A');
    if (c != marker) return false;
  }
  return true;
}

bool IsEmptySlotForDialog(std::string_view value) { return value == kEmptySlot; }

bool IsStorablePath(std::string_view path) { return path.size() <= kMaxTextLength && IsStorableValue(path); }

}  // namespace quorrel
