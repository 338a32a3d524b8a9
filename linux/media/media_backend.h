#pragma once

#include <functional>
#include <memory>

#include "media/media_device.h"

namespace quorrel::linux_desktop {

// Runs a function later on the user-interface thread. libmpv's wakeup
// callback comes from mpv's own threads and may only post through this.
using UiPoster = std::function<void(std::function<void()>)>;

// Whether the files' sound is heard. A silent back end plays the pictures
// only and opens no sound stream at all.
enum class MediaAudio { On, Off };

// libmpv for video, WAV and whatever FFmpeg opens; FluidSynth for .mid and
// .midi; chosen by the file name's extension.
[[nodiscard]] std::unique_ptr<MediaBackend> CreatePlatformMediaBackend(UiPoster poster,
                                                                       MediaAudio audio = MediaAudio::On);

}  // namespace quorrel::linux_desktop
