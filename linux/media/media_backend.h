#pragma once

#include <memory>

#include "linux/base/ui_poster.h"
#include "media/media_device.h"

namespace quorrel::linux_desktop {

// Whether the files' sound is heard. A silent back end plays the pictures
// only and opens no sound stream at all.
enum class MediaAudio { On, Off };

// libmpv for video, WAV and whatever FFmpeg opens; FluidSynth for .mid and
// .midi; chosen by the file name's extension.
[[nodiscard]] std::unique_ptr<MediaBackend> CreatePlatformMediaBackend(UiPoster poster,
                                                                       MediaAudio audio = MediaAudio::On);

}  // namespace quorrel::linux_desktop
