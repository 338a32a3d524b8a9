#pragma once

#include <memory>

#include "media/media_device.h"

namespace quorrel::windows_desktop {

// Plays the picture of a video and nothing else, for a computer without a
// sound device: the Media Engine renders a file's sound as part of playing
// it, and with no device to render to it shows nothing at all. Media
// Foundation's Source Reader decodes the first video stream (the sound is
// never read), and the frames are drawn in time with a clock of the
// device's own, on the ticks of the frame window, on the user-interface
// thread. Only existing local files are opened. Error codes are HRESULTs,
// as the Media Engine's are.
[[nodiscard]] std::unique_ptr<MediaBackend> CreateSilentVideoBackend();

}  // namespace quorrel::windows_desktop
