#include "linux/media/media_errors.h"

#include <mpv/client.h>

namespace quorrel::linux_desktop::media_errors {

std::uint32_t FromMpvError(int mpvError) {
  if (mpvError >= 0) return kSuccess;
  return kMpvBase + static_cast<std::uint32_t>(-static_cast<std::int64_t>(mpvError));
}

std::string Text(std::uint32_t code) {
  switch (code) {
    case kSuccess:
      return "The specified command was carried out.";
    case kNotLocalFile:
      return "The file name is not the name of a local file. Only local files are played; addresses, protocols and "
             "names that begin with a hyphen are refused.";
    case kFileNotFound:
      return "The specified file cannot be found. Make sure the path and file name are correct.";
    case kNotRegularFile:
      return "The specified name is a folder or a special file, not a media file.";
    case kOpenTimedOut:
      return "The media file did not finish loading in time.";
    case kNoDeviceOpen:
      return "No media file is open.";
    case kNoDisplay:
      return "The display window cannot be used: there is no connection to the X display.";
    case kCannotResume:
      return "The media is not paused, so it cannot be resumed.";
    case kNoSoundfont:
      return "No General MIDI soundfont was found in /usr/share/sounds/sf2 (install the timgm6mb-soundfont or "
             "fluid-soundfont-gm package).";
    case kMidiUnreadable:
      return "The file is not a MIDI file that can be played.";
    case kSoundOutputFailed:
      return "The sound output cannot be opened.";
    case kPlayerStartFailed:
      return "The media player cannot be started.";
    case kDisplayWindowFailed:
      return "The video window cannot be created in the display window.";
    case kPlaybackFailed:
      return "The media file cannot be played.";
    default:
      break;
  }
  if (code > kMpvBase && code < kMpvBase + 1000) {
    const int mpvError = -static_cast<int>(code - kMpvBase);
    // mpv_error_string answers every number, with "unknown error" for those
    // it does not know; such a code has no text of its own.
    const std::string text = mpv_error_string(mpvError);
    if (text != "unknown error") return "The media file cannot be played: " + text + ".";
  }
  return {};
}

}  // namespace quorrel::linux_desktop::media_errors
