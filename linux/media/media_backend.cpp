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

// Chooses the device by the file name's extension, as the automatic device
// selection always has: MIDI files go to the synthesizer, everything else
// to libmpv, which plays whatever FFmpeg can read (WAV included).
class PlatformMediaBackend final : public MediaBackend {
 public:
  PlatformMediaBackend(UiPoster poster, MediaAudio audio)
      : audio_(audio), engines_(std::make_shared<MpvEnginePool>(std::move(poster), audio)) {}

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow display,
                                    std::uint32_t& errorCode) override {
    std::string path;
    errorCode = CheckLocalFile(fileName, path);
    if (errorCode != media_errors::kSuccess) return nullptr;
    const std::string extension = lowerCaseExtension(path);
    if (extension == "mid" || extension == "midi") {
      return FluidSynthDevice::Open(path, FluidSynthDevice::kSoundfontFolder, audio_, errorCode);
    }
    return MpvDevice::Open(path, x11(), engines_, errorCode, display);
  }

  void prepareVideo() override { engines_->prepareVideo(x11()); }

  std::uint32_t noDeviceCode() const override { return media_errors::kNoDeviceOpen; }
  std::string errorText(std::uint32_t code) const override { return media_errors::Text(code); }

 private:
  // Connected on the first video, so that a process that only plays sounds
  // never needs a display.
  X11Connection* x11() {
    if (!x11Tried_) {
      x11Tried_ = true;
      x11_ = X11Connection::Open();
    }
    return x11_.get();
  }

  MediaAudio audio_;
  bool x11Tried_ = false;
  std::unique_ptr<X11Connection> x11_;
  // Declared after the connection, so that the waiting instances and their
  // windows go before it.
  std::shared_ptr<MpvEnginePool> engines_;
};

}  // namespace

std::unique_ptr<MediaBackend> CreatePlatformMediaBackend(UiPoster poster, MediaAudio audio) {
  return std::make_unique<PlatformMediaBackend>(std::move(poster), audio);
}

}  // namespace quorrel::linux_desktop
