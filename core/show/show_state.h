#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings_schema.h"

namespace quorrel {

// Everything the show knows about what to play and how, read once from the
// settings file at start-up. Positions in PlayList are 1-based, as the
// video list's slots are; entry n lives at PlayList[n - 1].
struct ShowState {
  std::vector<std::string> PlayList;
  std::int32_t PlayListCount = 0;
  std::int32_t CurrentIndex = 0;
  std::int32_t SequenceIndex = 0;
  std::string SoundFileName;
  bool SoundOn = false;
  bool RepeatSound = false;
  MuteChoice StartMute = MuteChoice::LeaveAlone;
  MuteChoice EndMute = MuteChoice::LeaveAlone;
  VideoSizeMode SizeMode = VideoSizeMode::Natural;
  VideoOrder PlayOrder = VideoOrder::InSequence;
  std::int32_t CustomHeight = 0;
  std::int32_t CustomWidth = 0;
  bool InputBusy = false;
  // Every monitor plays videos of its own, not only the primary.
  bool EveryMonitor = false;

  // The path at 1-based position `index`.
  [[nodiscard]] const std::string& entry(std::int32_t index) const {
    return PlayList.at(static_cast<std::size_t>(index - 1));
  }
};

// The message screen's text when the list holds no video (one blank at the
// end, as the user has always seen it).
inline constexpr const char* kNoVideosText =
    "You have not entered any video files for display. Simply click the \"settings\" button, and add your video "
    "files for viewing. ";

// The message screen's text for a listed video whose file has gone.
[[nodiscard]] std::string MissingFileText(const std::string& fileName);

}  // namespace quorrel
