#pragma once

#include <memory>

struct xcb_connection_t;

namespace quorrel::linux_desktop {

// What the entry asks of the X display before anything else.
struct DisplayProbe {
  // An X display can be reached at all (DISPLAY, or the name given). Qt
  // aborts when it cannot connect, so the entry asks first.
  bool reachable = false;
  // A top-level window of the show's class and title (a running show) is
  // on the display; never when no display can be reached.
  bool showWindowOnScreen = false;
  // The probe's connection, still open. An X server that no other client
  // holds (a kiosk's `xinit quorrel /S`, a bare Xvfb) resets as its last
  // client leaves and drops whatever connects meanwhile: the entry keeps
  // this one until the program's own connections are up.
  std::shared_ptr<xcb_connection_t> connection;
};

// Both questions, over one connection.
[[nodiscard]] DisplayProbe ProbeDisplay(const char* displayName = nullptr);

}  // namespace quorrel::linux_desktop
