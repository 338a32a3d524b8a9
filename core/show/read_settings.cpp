#include "show/read_settings.h"

#include <memory>

#include "settings/profile.h"
#include "settings/read_cache.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "system/file_system.h"

namespace quorrel {

std::string MissingFileText(const std::string& fileName) {
  return "File " + fileName +
         " no longer exists in this location on your system!  Please go into your screensaver settings and remove "
         "this from your viewing list!";
}

bool IsExistingFile(const std::string& path) {
  // stat follows links, so a link to a video counts as the video; an empty
  // name is never a file.
  if (path.empty()) return false;
  const std::optional<FileStatus> status = StatusOf(path);
  return status && !status->directory;
}

void ReadSettings(const SettingsFile& settings, ShowState& state, std::string& messageText) {
  state.StartMute = MuteChoiceOf(settings.readNumber(kOptionsSection, kStartMuteKey, kNumberReadDefault));
  state.EndMute = MuteChoiceOf(settings.readNumber(kOptionsSection, kEndMuteKey, kNumberReadDefault));
  state.SoundOn = settings.readFlag(kOptionsSection, kSoundOnKey, kFlagReadDefault);
  state.RepeatSound = settings.readFlag(kOptionsSection, kRepeatKey, kFlagReadDefault);
  state.SizeMode = VideoSizeModeOf(settings.readNumber(kOptionsSection, kSizeModeKey, kNumberReadDefault));
  state.PlayOrder = VideoOrderOf(settings.readNumber(kOptionsSection, kPlayOrderKey, kNumberReadDefault));
  // The custom size is taken as it stands, without a range check.
  state.CustomHeight = settings.readNumber(kOptionsSection, kHeightKey, kNumberReadDefault);
  state.CustomWidth = settings.readNumber(kOptionsSection, kWidthKey, kNumberReadDefault);
  state.EveryMonitor = EveryMonitorOf(settings.readText(kOptionsSection, kEveryMonitorKey, ""));

  state.PlayList.clear();
  state.PlayListCount = 0;
  // The thousand slots are read from one look at the file: each read on its
  // own checks with a file status that the file is unchanged, and a
  // thousand of those took half a second of the show's start under Wine.
  const std::shared_ptr<const Profile> slots = CurrentProfile(settings.path());
  for (int n = 1; n <= kSlotCount; ++n) {
    std::string value = ReadText(slots.get(), kVideoListSection, SlotKey(n), kSlotReadDefault);
    if (IsEmptySlotForShow(value)) continue;
    if (!IsExistingFile(value)) {
      // One vanished file makes the whole list unusable for this show, so
      // the user is sent to the settings to tidy it up.
      messageText = MissingFileText(value);
      state.PlayList.clear();
      state.PlayListCount = 0;
      break;
    }
    state.PlayList.push_back(std::move(value));
    ++state.PlayListCount;
  }

  state.SoundFileName = settings.readText(kSoundSection, kSoundFileKey, kSlotReadDefault);
  if (!IsExistingFile(state.SoundFileName)) state.SoundOn = false;
}

}  // namespace quorrel
