#include "linux/media/media_backend.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <utility>

#include "linux/media/fluidsynth_device.h"
#include "linux/media/local_file.h"
#include "linux/media/media_errors.h"
#include "linux/media/mpv_device.h"
#include "linux/media/x11_video_window.h"

namespace quorrel::linux_desktop {

namespace {

std::string lowerCaseExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

PlatformMediaBackend::PlatformMediaBackend(UiPoster poster, MediaAudio audio)
    : audio_(audio), engines_(std::make_shared<MpvEnginePool>(std::move(poster), audio)) {}

PlatformMediaBackend::~PlatformMediaBackend() = default;

std::unique_ptr<MediaDevice> PlatformMediaBackend::open(const std::string& fileName, NativeWindow display,
                                                        std::uint32_t& errorCode) {
  std::string path;
  errorCode = CheckLocalFile(fileName, path);
  if (errorCode != media_errors::kSuccess) return nullptr;
  // MIDI files go to the synthesizer, everything else to libmpv, which
  // plays whatever FFmpeg can read (WAV included).
  const std::string extension = lowerCaseExtension(path);
  if (extension == "mid" || extension == "midi") {
    return FluidSynthDevice::Open(path, FluidSynthDevice::kSoundfontFolder, audio_, errorCode);
  }
  return MpvDevice::Open(path, x11(), engines_, errorCode, display);
}

void PlatformMediaBackend::prepareVideo() { engines_->prepareVideo(x11()); }

std::uint32_t PlatformMediaBackend::noDeviceCode() const { return media_errors::kNoDeviceOpen; }

std::string PlatformMediaBackend::errorText(std::uint32_t code) const { return media_errors::Text(code); }

void PlatformMediaBackend::setAudio(MediaAudio audio) {
  audio_ = audio;
  engines_->setAudio(audio);
}

X11Connection* PlatformMediaBackend::x11() {
  // Connected on the first video, so that a process that only plays sounds
  // never needs a display.
  if (!x11Tried_) {
    x11Tried_ = true;
    x11_ = X11Connection::Open();
  }
  return x11_.get();
}

std::unique_ptr<PlatformMediaBackend> CreatePlatformMediaBackend(UiPoster poster, MediaAudio audio) {
  return std::make_unique<PlatformMediaBackend>(std::move(poster), audio);
}

}  // namespace quorrel::linux_desktop
