#pragma once

#include <memory>

#include "media/media_types.h"

namespace quorrel::linux_desktop {

class Application;
class PlatformMediaBackend;

// The "/S" mode: the show inside the running application object until
// input ends it. `media` may have started its video output already; it goes
// before the application object does.
void RunShowMode(Application& app, std::unique_ptr<PlatformMediaBackend> media);
// The show inside a screen-saver host's window (0: the root window), until
// the host stops it.
void RunHostedShowMode(Application& app, NativeWindow hostWindow, std::unique_ptr<PlatformMediaBackend> media);

}  // namespace quorrel::linux_desktop
