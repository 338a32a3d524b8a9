#pragma once

#include <cstdint>
#include <optional>

#include "base/geometry.h"

struct xcb_connection_t;

namespace quorrel::linux_desktop {

// What the show needs to know of X windows it does not own (a screen-saver
// host's window, the root window), over the connection Qt already has.
// Every call is a round trip; none of them is on a path that runs often.

// The root window of the screen that `window` is on; 0 when it is gone.
[[nodiscard]] std::uint32_t RootWindowOf(xcb_connection_t* connection, std::uint32_t window);

// The window's size and its place in root coordinates; nothing when it is
// gone.
[[nodiscard]] std::optional<Rect> WindowOnRoot(xcb_connection_t* connection, std::uint32_t window);

// Asks for the window's structure events (resizes, its destruction) on top
// of whatever this connection already takes from it, so that Qt's own
// interest in the root window stays. False when the window is gone.
[[nodiscard]] bool WatchStructure(xcb_connection_t* connection, std::uint32_t window);

// Stops this connection from taking key, button and pointer events from the
// window, so that they go where they would go without it: to the host.
void SelectNoInput(xcb_connection_t* connection, std::uint32_t window);

}  // namespace quorrel::linux_desktop
