#include "options/options_model.h"

#include "settings/settings_file.h"
#include "settings/settings_schema.h"

namespace quorrel {

namespace {

void writeMuteChoice(SettingsFile& file, std::string_view key, MuteChoice choice) {
  if (choice != MuteChoice::LeaveAlone) file.writeNumber(kOptionsSection, key, static_cast<std::int32_t>(choice));
}

}  // namespace

std::int32_t SizeLabelValue(std::int32_t stored) {
  return stored < OptionsState::kMinimumVideoSide ? OptionsState::kMinimumVideoSide : stored;
}

OptionsState LoadOptions(const SettingsFile& file, VideoSlots& slots) {
  auto number = [&file](std::string_view key) { return file.readNumber(kOptionsSection, key, kNumberReadDefault); };
  auto flag = [&file](std::string_view key) {
    return file.readFlag(kOptionsSection, key, kFlagReadDefault) ? OnOffChoice::On : OnOffChoice::Off;
  };
  OptionsState state;
  state.startOn = MuteChoiceOf(number(kStartMuteKey));
  state.endOn = MuteChoiceOf(number(kEndMuteKey));
  state.sound = flag(kSoundOnKey);
  state.repeat = flag(kRepeatKey);
  // "Color" is read by both readers but changes nothing in the dialog.
  (void)number(kColorKey);
  state.size = VideoSizeModeOf(number(kSizeModeKey));
  state.order = VideoOrderOf(number(kPlayOrderKey));
  state.height = SizeLabelValue(number(kHeightKey));
  state.width = SizeLabelValue(number(kWidthKey));
  state.everyMonitor = EveryMonitorOf(file.readText(kOptionsSection, kEveryMonitorKey, ""));
  state.idleStart = IdleStartOf(file.readText(kOptionsSection, kIdleStartKey, ""));
  state.idleMinutes = IdleMinutesOf(number(kIdleMinutesKey));
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    slots[slot] = file.readText(kDialogVideoListSection, SlotKey(slot), kSlotReadDefault);
  }
  const std::string soundFile = file.readText(kSoundSection, kSoundFileKey, kSlotReadDefault);
  if (!IsEmptySlotForDialog(soundFile)) state.soundFile = soundFile;
  return state;
}

void SaveOptions(SettingsFile& file, const OptionsState& state) {
  writeMuteChoice(file, kStartMuteKey, state.startOn);
  writeMuteChoice(file, kEndMuteKey, state.endOn);
  // With no choice at all the show must leave the mute state alone at both
  // ends, so neither key may survive. With only one group chosen, the other
  // key keeps what the file held.
  if (state.startOn == MuteChoice::LeaveAlone && state.endOn == MuteChoice::LeaveAlone) {
    file.deleteKey(kOptionsSection, kStartMuteKey);
    file.deleteKey(kOptionsSection, kEndMuteKey);
  }
  file.writeFlag(kOptionsSection, kSoundOnKey, state.sound == OnOffChoice::On);
  file.writeFlag(kOptionsSection, kRepeatKey, state.repeat == OnOffChoice::On);
  // With no size button selected the save has always written full screen.
  file.writeNumber(kOptionsSection, kSizeModeKey,
                   static_cast<std::int32_t>(state.size.value_or(VideoSizeMode::FullScreen)));
  file.writeNumber(
      kOptionsSection, kPlayOrderKey,
      static_cast<std::int32_t>(state.order == VideoOrder::Random ? VideoOrder::Random : VideoOrder::InSequence));
  file.writeNumber(kOptionsSection, kHeightKey, state.height);
  file.writeNumber(kOptionsSection, kWidthKey, state.width);
  if (state.everyMonitorChosen) {
    file.writeText(kOptionsSection, kEveryMonitorKey, state.everyMonitor ? kEveryMonitorOn : kEveryMonitorOff);
  }
  file.writeText(kOptionsSection, kIdleStartKey, state.idleStart ? kIdleStartOn : kIdleStartOff);
  file.writeNumber(kOptionsSection, kIdleMinutesKey, IdleMinutesOf(state.idleMinutes));
  file.writeText(kSoundSection, kSoundFileKey, state.soundFile);
  file.writeFlag(kOptionsSection, kStatusKey, false);
}

}  // namespace quorrel
