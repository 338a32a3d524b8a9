#include "config/options_model.h"

#include "settings/settings_file.h"

namespace quorrel {

namespace {

constexpr const char* kOptions = "Options";

MuteChoice muteChoiceOf(std::int32_t value) {
  if (value == 1) return MuteChoice::Unmute;
  if (value == 0) return MuteChoice::Mute;
  return MuteChoice::None;
}

VideoSize videoSizeOf(std::int32_t value) {
  switch (value) {
    case 4: return VideoSize::Custom;
    case 3: return VideoSize::Small;
    case 2: return VideoSize::Medium;
    case 1: return VideoSize::Large;
    default: return VideoSize::Default;
  }
}

std::int32_t picdisOf(VideoSize size) {
  switch (size) {
    case VideoSize::Default: return 5;
    case VideoSize::Custom: return 4;
    case VideoSize::Small: return 3;
    case VideoSize::Medium: return 2;
    case VideoSize::Large:
    case VideoSize::None: break;
  }
  return 1;
}

void writeMuteChoice(SettingsFile& file, const char* key, MuteChoice choice) {
  if (choice == MuteChoice::Unmute) file.writeNumber(kOptions, key, 1);
  if (choice == MuteChoice::Mute) file.writeNumber(kOptions, key, 0);
}

}  // namespace

std::string SlotKey(int slot) { return "Name" + std::to_string(slot); }

std::int32_t SizeLabelValue(std::int32_t stored) {
  return stored < OptionsState::kMinimumVideoSide ? OptionsState::kMinimumVideoSide : stored;
}

OptionsState LoadOptions(const SettingsFile& file, VideoSlots& slots) {
  OptionsState state;
  state.startOn = muteChoiceOf(file.readNumber(kOptions, "Starton", -1));
  state.endOn = muteChoiceOf(file.readNumber(kOptions, "Endon", -1));
  state.sound = file.readFlag(kOptions, "Sound", true) ? SoundChoice::On : SoundChoice::Off;
  state.repeat = file.readFlag(kOptions, "Repeat", true) ? SoundChoice::On : SoundChoice::Off;
  // "Color" is read by both readers but changes nothing in the dialog.
  (void)file.readNumber(kOptions, "Color", -1);
  state.size = videoSizeOf(file.readNumber(kOptions, "Picdis", -1));
  state.order = file.readNumber(kOptions, "Picord", -1) == 1 ? PlayOrder::Random : PlayOrder::Sequence;
  state.height = SizeLabelValue(file.readNumber(kOptions, "Height", -1));
  state.width = SizeLabelValue(file.readNumber(kOptions, "Width", -1));
  for (int slot = 1; slot <= kVideoSlotCount; ++slot) {
    slots[static_cast<std::size_t>(slot)] = file.readText("VidConfig", SlotKey(slot), " ");
  }
  slots[0] = file.readText("WavConfig", "Name1", " ");
  if (slots[0] != kEmptySlot) state.soundFile = slots[0];
  return state;
}

void SaveOptions(SettingsFile& file, const OptionsState& state) {
  writeMuteChoice(file, "Starton", state.startOn);
  writeMuteChoice(file, "Endon", state.endOn);
  // With no choice at all the show must leave the mute state alone at both
  // ends, so neither key may survive. With only one group chosen, the other
  // key keeps what the file held.
  if (state.startOn == MuteChoice::None && state.endOn == MuteChoice::None) {
    file.deleteKey(kOptions, "Starton");
    file.deleteKey(kOptions, "Endon");
  }
  file.writeFlag(kOptions, "Sound", state.sound == SoundChoice::On);
  file.writeFlag(kOptions, "Repeat", state.repeat == SoundChoice::On);
  file.writeNumber(kOptions, "Picdis", picdisOf(state.size));
  file.writeNumber(kOptions, "Picord", state.order == PlayOrder::Random ? 1 : 2);
  file.writeNumber(kOptions, "Height", state.height);
  file.writeNumber(kOptions, "Width", state.width);
  file.writeText("WavConfig", "Name1", state.soundFile);
  file.writeFlag(kOptions, "Status", false);
}

}  // namespace quorrel
