#include "show/read_settings.h"

#include <sys/stat.h>

#include "settings/settings_file.h"

namespace quorrel {

namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kVideoSection = "vidConfig";
constexpr const char* kSoundSection = "WavConfig";
// The slot readers pass one blank, which the store reduces to empty text,
// so a missing slot reads as an entry with an empty name.
constexpr const char* kSlotDefault = " ";

std::int32_t muteChoice(std::int32_t stored) {
  return stored == kMuteOff || stored == kMuteOn ? stored : kMuteLeaveAlone;
}

bool isEmptySlotMarker(const std::string& value) {
  if (value.size() != 4) return false;
  std::string upper = value;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper == "NULL";
}

}  // namespace

std::string MissingFileText(const std::string& fileName) {
  return "File " + fileName +
         " no longer exists in this location on your system!  Please go into your screensaver settings and remove "
         "this from your viewing list!";
}

bool IsExistingFile(const std::string& path) {
  // stat follows links, so a link to a video counts as the video; an empty
  // name is never a file.
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void ReadSettings(const SettingsFile& settings, ShowState& state, std::string& infoText) {
  state.StartMute = muteChoice(settings.readNumber(kOptions, "Starton", -1));
  state.EndMute = muteChoice(settings.readNumber(kOptions, "Endon", -1));
  state.SoundOn = settings.readFlag(kOptions, "Sound", true);
  state.RepeatSound = settings.readFlag(kOptions, "Repeat", true);

  const std::int32_t size = settings.readNumber(kOptions, "Picdis", -1);
  state.SizeMode = size >= 1 && size <= 4 ? static_cast<VideoSizeMode>(size) : VideoSizeMode::Natural;
  state.PlayOrder = settings.readNumber(kOptions, "Picord", -1) == 1 ? VideoOrder::Random : VideoOrder::InSequence;
  state.CustomHeight = settings.readNumber(kOptions, "Height", -1);
  state.CustomWidth = settings.readNumber(kOptions, "Width", -1);

  state.PlayList.clear();
  state.PlayListCount = 0;
  for (int n = 1; n <= kPlayListCapacity; ++n) {
    std::string value = settings.readText(kVideoSection, "Name" + std::to_string(n), kSlotDefault);
    if (isEmptySlotMarker(value)) continue;
    if (!IsExistingFile(value)) {
      // One vanished file makes the whole list unusable for this show, so
      // the user is sent to the settings to tidy it up.
      infoText = MissingFileText(value);
      state.PlayList.clear();
      state.PlayListCount = 0;
      break;
    }
    state.PlayList.push_back(std::move(value));
    ++state.PlayListCount;
  }

  state.SoundFileName = settings.readText(kSoundSection, "Name1", kSlotDefault);
  if (!IsExistingFile(state.SoundFileName)) state.SoundOn = false;
}

}  // namespace quorrel
