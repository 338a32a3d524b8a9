#include "windows/media/windows_media_backend.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "windows/media/mci_device.h"
#include "windows/media/silent_video_device.h"
#include "windows/media/sound_output.h"

namespace quorrel::windows_desktop {

namespace {

// The background sounds that MCI's waveaudio and sequencer devices play;
// the Media Engine has no MIDI at all, and MCI's WAV device is the one the
// sound has always gone through.
bool IsMciSound(const std::string& fileName) {
  const std::size_t dot = fileName.find_last_of('.');
  const std::size_t separator = fileName.find_last_of("\\/");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return false;
  std::string extension = fileName.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  constexpr std::array<const char*, 4> kSounds = {"wav", "mid", "midi", "rmi"};
  return std::find(kSounds.begin(), kSounds.end(), extension) != kSounds.end();
}

// HRESULTs that report a failure have their top bit set; MCI's codes are
// 16-bit numbers, with a driver's device identifier above them at most.
bool IsMediaEngineCode(std::uint32_t code) { return (code & 0x80000000u) != 0; }

// What Media Foundation answers when a file's sound finds no device to
// play on, or one that cannot be opened.
bool IsSoundDeviceFailure(std::uint32_t code) {
  switch (code) {
    case 0xC00D4E84u:  // MF_E_NO_AUDIO_PLAYBACK_DEVICE
    case 0xC00D4E85u:  // MF_E_AUDIO_PLAYBACK_DEVICE_IN_USE
    case 0xC00D4E86u:  // MF_E_AUDIO_PLAYBACK_DEVICE_INVALIDATED
    case 0x88890004u:  // AUDCLNT_E_DEVICE_INVALIDATED
    case 0x8889000Au:  // AUDCLNT_E_DEVICE_IN_USE
    case 0x80070490u:  // E_NOTFOUND, no default endpoint
      return true;
    default:
      return false;
  }
}

}  // namespace

WindowsMediaBackend::WindowsMediaBackend(std::unique_ptr<MediaBackend> mci, std::unique_ptr<MediaEngineBackend> engine,
                                         std::unique_ptr<MediaBackend> silentVideo,
                                         std::function<bool()> soundOutputExists)
    : mci_(std::move(mci)),
      engine_(std::move(engine)),
      silentVideo_(std::move(silentVideo)),
      soundOutputExists_(std::move(soundOutputExists)) {}

std::unique_ptr<MediaDevice> WindowsMediaBackend::open(const std::string& fileName, NativeWindow display,
                                                       std::uint32_t& errorCode) {
  if (!IsMciSound(fileName)) {
    // Asked at every video: a headset may be plugged in or pulled out
    // while the show runs. Where there is no Media Engine (Windows 7), MCI
    // plays every video, and without sound by itself.
    bool silently = silentVideo_ && engine_->available() && !soundOutputExists_();
    std::uint32_t engineCode = 0;
    if (!silently) {
      if (auto device = engine_->open(fileName, display, engineCode)) {
        errorCode = 0;
        return device;
      }
      silently = silentVideo_ && IsSoundDeviceFailure(engineCode);
    }
    if (silently) {
      if (auto device = silentVideo_->open(fileName, display, engineCode)) {
        errorCode = 0;
        return device;
      }
    }
  }
  return mci_->open(fileName, display, errorCode);
}

std::string WindowsMediaBackend::errorText(std::uint32_t code) const {
  return IsMediaEngineCode(code) ? engine_->errorText(code) : mci_->errorText(code);
}

std::unique_ptr<WindowsMediaBackend> CreateWindowsMediaBackend(MediaAudio audio) {
  auto backend =
      std::make_unique<WindowsMediaBackend>(CreateMciBackend(SystemMciApi(), audio), CreateMediaEngineBackend(),
                                            CreateSilentVideoBackend(), &SoundOutputExists);
  if (audio == MediaAudio::Off) backend->setVideoSoundMuted(true);
  return backend;
}

}  // namespace quorrel::windows_desktop
