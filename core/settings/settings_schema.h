#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorrel {

// Everything the settings file holds and how its values read: the one
// place that names sections, keys, markers, defaults, codes and limits.
// The show, the options dialog and the default file all read it from here.

// Sections. Names are compared without regard to case, so the video list is
// one section under two spellings: the default file and the show use
// "vidConfig", the options dialog "VidConfig".
inline constexpr std::string_view kOptionsSection = "Options";
inline constexpr std::string_view kVideoListSection = "vidConfig";
inline constexpr std::string_view kDialogVideoListSection = "VidConfig";
inline constexpr std::string_view kSoundSection = "WavConfig";
inline constexpr std::string_view kHistorySection = "History";

// Keys of "Options".
inline constexpr std::string_view kStartMuteKey = "Starton";
inline constexpr std::string_view kEndMuteKey = "Endon";
inline constexpr std::string_view kSoundOnKey = "Sound";
inline constexpr std::string_view kRepeatKey = "Repeat";
inline constexpr std::string_view kStatusKey = "Status";
inline constexpr std::string_view kColorKey = "Color";
inline constexpr std::string_view kSizeModeKey = "Picdis";
inline constexpr std::string_view kPlayOrderKey = "Picord";
inline constexpr std::string_view kHeightKey = "Height";
inline constexpr std::string_view kWidthKey = "Width";
// Whether every monitor plays videos of its own, not only the primary.
inline constexpr std::string_view kEveryMonitorKey = "Allscreens";
// Whether Quorrel's own idle watcher starts the show, and after how many
// minutes without input (Linux: Windows keeps its own wait).
inline constexpr std::string_view kIdleStartKey = "Idlestart";
inline constexpr std::string_view kIdleMinutesKey = "Idleminutes";
// "WavConfig" holds the background sound in the first slot's key.
inline constexpr std::string_view kSoundFileKey = "Name1";
// "History": the folder of the video last chosen, separator included.
inline constexpr std::string_view kLastDirKey = "Last Dir";

// The video list: 1000 slots "Name1" to "Name1000", each a full path or
// the empty-slot marker. "WavConfig" has the same 1000 keys.
inline constexpr int kSlotCount = 1000;
inline constexpr std::string_view kEmptySlot = "Null";
[[nodiscard]] std::string SlotKey(int slot);

// What readers pass as defaults. Slot readers pass one blank, which a read
// reduces to empty text, so a missing slot key reads as an entry with an
// empty name. Numbers read with -1 so that a missing key falls to each
// option's "other value" rule below; flags read with true.
inline constexpr std::string_view kSlotReadDefault = " ";
inline constexpr std::int32_t kNumberReadDefault = -1;
inline constexpr bool kFlagReadDefault = true;

// A text read returns at most this many bytes; a longer value is cut.
inline constexpr std::size_t kMaxTextLength = 2047;

// "Starton" and "Endon": un-mute, mute, or (any other value, or the key
// missing) leave the system's switch alone. Only 0 and 1 are ever stored.
enum class MuteChoice : std::int32_t { Mute = 0, Unmute = 1, LeaveAlone = 5 };
[[nodiscard]] MuteChoice MuteChoiceOf(std::int32_t stored);

// "Picdis": the video panel's size. Any other value reads as Natural.
enum class VideoSizeMode : std::int32_t { FullScreen = 1, Medium = 2, Small = 3, Custom = 4, Natural = 5 };
[[nodiscard]] VideoSizeMode VideoSizeModeOf(std::int32_t stored);

// "Picord": how the next video is chosen. Any other value reads as
// InSequence.
enum class VideoOrder : std::int32_t { Random = 1, InSequence = 2 };
[[nodiscard]] VideoOrder VideoOrderOf(std::int32_t stored);

// "Allscreens": only "1" turns videos on every monitor on. A missing key,
// "0" and anything else leave the show on the primary monitor alone, so
// that files written before the option existed show what they always did.
inline constexpr std::string_view kEveryMonitorOn = "1";
inline constexpr std::string_view kEveryMonitorOff = "0";
[[nodiscard]] bool EveryMonitorOf(std::string_view stored);

// "Idlestart": as "Allscreens", only "1" is on; a missing key is off.
// "Idleminutes": 1 to 120; a missing key or a number outside reads as 5.
inline constexpr std::string_view kIdleStartOn = "1";
inline constexpr std::string_view kIdleStartOff = "0";
inline constexpr std::int32_t kIdleMinutesMinimum = 1;
inline constexpr std::int32_t kIdleMinutesMaximum = 120;
inline constexpr std::int32_t kIdleMinutesDefault = 5;
[[nodiscard]] bool IdleStartOf(std::string_view stored);
[[nodiscard]] std::int32_t IdleMinutesOf(std::int32_t stored);

// The values of "Options" in the default file, in the order written.
struct DefaultOption {
  std::string_view key;
  std::string_view value;
};
inline constexpr DefaultOption kDefaultOptions[] = {
    {kSoundOnKey, "0"},  {kRepeatKey, "0"},    {kStatusKey, "0"},   {kColorKey, "4"},
    {kSizeModeKey, "5"}, {kPlayOrderKey, "2"}, {kHeightKey, "100"}, {kWidthKey, "100"},
};

// The two readers of the list know the empty-slot marker differently, and
// users' files have always been read so: the show skips "Null" in any mix
// of letter case, while the options dialog takes only the exact "Null" for
// an empty slot and lists any other spelling as an entry.
[[nodiscard]] bool IsEmptySlotForShow(std::string_view value);
[[nodiscard]] bool IsEmptySlotForDialog(std::string_view value);

// Whether a path can go into a slot and read back whole: no line break or
// NUL, which would corrupt the file, and no longer than a read returns.
[[nodiscard]] bool IsStorablePath(std::string_view path);

}  // namespace quorrel
