#pragma once

#include "linux/media/media_backend.h"

namespace quorrel::linux_desktop {

// Posts functions to the Qt event loop of the user-interface thread. Safe to
// call from any thread; the function runs later, inside the event loop.
[[nodiscard]] UiPoster QtUiPoster();

}  // namespace quorrel::linux_desktop
