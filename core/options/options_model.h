#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "options/video_slots.h"

namespace quorrel {

class SettingsFile;

// Each radio group of the options dialog and the video sound dialog can
// stand with no button selected: a mute group then holds LeaveAlone, the
// others hold nothing.
enum class OnOffChoice { None, On, Off };

// What the options dialog's controls hold between load and save.
struct OptionsState {
  MuteChoice startOn = MuteChoice::LeaveAlone;
  MuteChoice endOn = MuteChoice::LeaveAlone;
  OnOffChoice sound = OnOffChoice::None;
  OnOffChoice repeat = OnOffChoice::None;
  std::optional<VideoSizeMode> size;
  std::optional<VideoOrder> order;
  // The numbers the two size labels show; the bars stand at these clamped
  // to their range, while the labels keep a stored number above the screen.
  std::int32_t width = kMinimumVideoSide;
  std::int32_t height = kMinimumVideoSide;
  // The sound file box's text; empty when none was chosen or loaded.
  std::string soundFile;
  // "Play videos on every monitor", and whether the user changed it. The
  // save writes it only then: a file whose key holds something the dialog
  // cannot show (or no key) keeps it when the box was never touched.
  bool everyMonitor = false;
  bool everyMonitorChosen = false;
  // "Start the show after" and its number of minutes of inactivity.
  bool idleStart = false;
  std::int32_t idleMinutes = kIdleMinutesDefault;

  static constexpr std::int32_t kMinimumVideoSide = 25;
};

// The number a size label shows for a stored value: never below the bars'
// minimum, but a value above the screen's size is kept as it is.
[[nodiscard]] std::int32_t SizeLabelValue(std::int32_t stored);

// Reads every option and the video and sound slots from the settings file.
[[nodiscard]] OptionsState LoadOptions(const SettingsFile& file, VideoSlots& slots);

// Writes the options in the dialog's fixed sequence; the first refused
// write stops it with the settings store's error, leaving the earlier keys
// written. The video slots and "Last Dir" are not written here.
void SaveOptions(SettingsFile& file, const OptionsState& state);

}  // namespace quorrel
