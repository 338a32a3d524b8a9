#pragma once

#include <string>

namespace quorrel {

class MessageBoxes;
class MediaPlayer;

// The preview window's buttons over its player. It keeps no flag of its
// own: every decision reads the player's mode, so Pause and Stop do nothing
// before the first Play, and a video that played to its end stays stopped
// until Play starts it again.
class PreviewControls {
 public:
  PreviewControls(MediaPlayer& player, MessageBoxes& boxes) : player_(player), boxes_(boxes) {}

  // Opens the file afresh and plays it from its beginning; a file that
  // cannot be opened gets the error code box and the long message.
  void play(const std::string& path);
  // A toggle: pauses a playing video, resumes a paused one.
  void pause();
  void stop();
  // Stops a playing video before the window closes.
  void returnToOptions();

 private:
  void stopIfPlaying();

  MediaPlayer& player_;
  MessageBoxes& boxes_;
};

inline constexpr const char* kPreviewPlayErrorText =
    "An error occurred trying to play the video file. The video file appears to be corrupt or is a format which "
    "cannot be played with this viewer. Please verify that your video files are valid avi or mpg files.";
inline constexpr const char* kPreviewPauseErrorText =
    "An error occurred trying to pause the video file. The video file may be corrupt. Please verify that your video "
    "files are valid avi or mpg files.";
inline constexpr const char* kPreviewStopErrorText =
    "An error occurred trying to play the video file. The video file may be corrupt. Please verify that your video "
    "files are valid avi or mpg files.";

}  // namespace quorrel
