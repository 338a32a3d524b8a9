#pragma once

#include <memory>
#include <string>

#include "linux/base/ui_poster.h"
#include "media/media_device.h"

namespace quorrel::linux_desktop {

class MpvEnginePool;
class X11Connection;

// Whether the files' sound is heard. A silent back end plays the pictures
// only and opens no sound stream at all.
enum class MediaAudio { On, Off };

// libmpv for video, WAV and whatever FFmpeg opens; FluidSynth for .mid and
// .midi; chosen by the file name's extension, as the automatic device
// selection always has.
class PlatformMediaBackend final : public MediaBackend {
 public:
  PlatformMediaBackend(UiPoster poster, MediaAudio audio);
  ~PlatformMediaBackend() override;
  PlatformMediaBackend(const PlatformMediaBackend&) = delete;
  PlatformMediaBackend& operator=(const PlatformMediaBackend&) = delete;

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow display,
                                    std::uint32_t& errorCode) override;
  void prepareVideo() override;
  std::uint32_t noDeviceCode() const override;
  std::string errorText(std::uint32_t code) const override;

  // Whether the files opened from now on are heard. A show may start its
  // video output before it knows whether it is the one that is heard.
  void setAudio(MediaAudio audio);

 private:
  X11Connection* x11();

  MediaAudio audio_;
  bool x11Tried_ = false;
  std::unique_ptr<X11Connection> x11_;
  // Declared after the connection, so that the waiting instances and their
  // windows go before it.
  std::shared_ptr<MpvEnginePool> engines_;
};

[[nodiscard]] std::unique_ptr<PlatformMediaBackend> CreatePlatformMediaBackend(UiPoster poster,
                                                                               MediaAudio audio = MediaAudio::On);

}  // namespace quorrel::linux_desktop
