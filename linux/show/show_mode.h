#pragma once

#include "media/media_types.h"

namespace quorrel::linux_desktop {

class Application;

// The "/S" mode: the show inside the running application object until
// input ends it.
void RunShowMode(Application& app);
// The show inside a screen-saver host's window (0: the root window), until
// the host stops it.
void RunHostedShowMode(Application& app, NativeWindow hostWindow);

}  // namespace quorrel::linux_desktop
