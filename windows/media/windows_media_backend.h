#pragma once

#include <functional>
#include <memory>
#include <string>

#include "media/media_device.h"
#include "media/system_mute.h"
#include "windows/media/mci_device.h"
#include "windows/media/media_engine_device.h"

namespace quorrel::windows_desktop {

// The players' back end on Windows: the Media Engine plays the videos where
// it exists (Windows 8 and later), MCI plays the WAV and MIDI sounds and
// every video the Media Engine cannot open. A file that neither opens
// fails with MCI's code and text, so the show and the preview report it as
// they always have.
//
// Without a sound device (speakers disabled or unplugged, a remote session
// without sound) the Media Engine plays nothing of a file with a sound
// track, and Media Foundation's failure to open a sound device ends the
// load: where the Media Engine exists, the videos are then played
// silently by the silent video back end, before MCI is tried, whose
// DirectShow devices play without sound by themselves. The background sound is MCI's, which fails to open without
// a device, and the show skips it.
class WindowsMediaBackend final : public MediaBackend {
 public:
  WindowsMediaBackend(
      std::unique_ptr<MediaBackend> mci, std::unique_ptr<MediaEngineBackend> engine,
      std::unique_ptr<MediaBackend> silentVideo = nullptr,
      std::function<bool()> soundOutputExists = [] { return true; });

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow display,
                                    std::uint32_t& errorCode) override;
  // Makes the Media Engine ready ahead of the first video, and the
  // system's list of sound devices, whose first reading loads the sound
  // driver.
  void prepareVideo() override {
    engine_->prepareVideo();
    if (silentVideo_) (void)soundOutputExists_();
  }
  // Nothing open reads as MCI's device 0 does.
  std::uint32_t noDeviceCode() const override { return mci_->noDeviceCode(); }
  std::string errorText(std::uint32_t code) const override;

  // Whether the system's sound is muted, as the show set it: the Media
  // Engine's videos follow it (see VideoSoundFollowingMute).
  void setVideoSoundMuted(bool muted) { engine_->setMuted(muted); }

 private:
  std::unique_ptr<MediaBackend> mci_;
  std::unique_ptr<MediaEngineBackend> engine_;
  std::unique_ptr<MediaBackend> silentVideo_;
  std::function<bool()> soundOutputExists_;
};

// MCI and the system's Media Engine; with the audio off, every video plays
// silently through either.
[[nodiscard]] std::unique_ptr<WindowsMediaBackend> CreateWindowsMediaBackend(MediaAudio audio = MediaAudio::On);

// The show's mute switch on Windows: the system's switch, and after it the
// Media Engine's videos. On Windows the system's mute silences the videos
// anyway; under Wine the endpoint's mute never reaches the sound server,
// and the videos' own mute is what keeps a muted show quiet there. A
// failed system mute raises as before and leaves the videos as they were.
class VideoSoundFollowingMute final : public SystemMute {
 public:
  VideoSoundFollowingMute(SystemMute& system, WindowsMediaBackend& backend) : system_(system), backend_(backend) {}
  void setSystemMute(bool mute) override {
    system_.setSystemMute(mute);
    backend_.setVideoSoundMuted(mute);
  }

 private:
  SystemMute& system_;
  WindowsMediaBackend& backend_;
};

}  // namespace quorrel::windows_desktop
