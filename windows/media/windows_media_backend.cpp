#include "windows/media/windows_media_backend.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "windows/media/mci_device.h"

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

}  // namespace

WindowsMediaBackend::WindowsMediaBackend(std::unique_ptr<MediaBackend> mci, std::unique_ptr<MediaEngineBackend> engine)
    : mci_(std::move(mci)), engine_(std::move(engine)) {}

std::unique_ptr<MediaDevice> WindowsMediaBackend::open(const std::string& fileName, NativeWindow display,
                                                       std::uint32_t& errorCode) {
  if (!IsMciSound(fileName)) {
    std::uint32_t engineCode = 0;
    if (auto device = engine_->open(fileName, display, engineCode)) {
      errorCode = 0;
      return device;
    }
  }
  return mci_->open(fileName, display, errorCode);
}

std::string WindowsMediaBackend::errorText(std::uint32_t code) const {
  return IsMediaEngineCode(code) ? engine_->errorText(code) : mci_->errorText(code);
}

std::unique_ptr<WindowsMediaBackend> CreateWindowsMediaBackend(MediaAudio audio) {
  auto backend =
      std::make_unique<WindowsMediaBackend>(CreateMciBackend(SystemMciApi(), audio), CreateMediaEngineBackend());
  if (audio == MediaAudio::Off) backend->setVideoSoundMuted(true);
  return backend;
}

}  // namespace quorrel::windows_desktop
