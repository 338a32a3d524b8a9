#pragma once

#include <functional>

namespace quorrel::linux_desktop {

// Runs a function later on the user-interface thread. libmpv's wakeup
// callback comes from mpv's own threads and may only post through this.
using UiPoster = std::function<void(std::function<void()>)>;

// Posts functions to the Qt event loop of the user-interface thread. Safe to
// call from any thread; the function runs later, inside the event loop.
[[nodiscard]] UiPoster QtUiPoster();

}  // namespace quorrel::linux_desktop
