#pragma once

#include <xcb/xcb.h>

namespace quorrel::linux_desktop {

// A new connection to an X display and the screen the display's name picks
// (":0.1" picks the second), for the units that each talk to the X server
// on a connection of their own.
struct XcbScreen {
  xcb_connection_t* connection = nullptr;  // the caller's, ended with xcb_disconnect
  xcb_screen_t* screen = nullptr;
};

// Connects to `displayName` (nullptr: $DISPLAY). Where the display cannot
// be reached or has no such screen, nothing is left open and both members
// are null.
[[nodiscard]] inline XcbScreen ConnectToScreen(const char* displayName) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
  if (xcb_connection_has_error(connection) != 0) {
    xcb_disconnect(connection);
    return {};
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) {
    xcb_disconnect(connection);
    return {};
  }
  return {connection, screens.data};
}

}  // namespace quorrel::linux_desktop
