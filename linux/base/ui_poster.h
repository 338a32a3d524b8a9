#pragma once

#include "media/media_device.h"

namespace quorrel {

// Posts functions to the Qt event loop of the user-interface thread. Safe to
// call from any thread; the function runs later, inside the event loop.
[[nodiscard]] UiPoster QtUiPoster();

}  // namespace quorrel
