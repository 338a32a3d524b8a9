#pragma once

#include <memory>

struct xcb_connection_t;

namespace quorrel::linux_desktop {

// The X server's display power level (the DPMS extension) and the pointer
// motion that usually wakes the display, over a connection of its own to
// the display that $DISPLAY names, so that nothing here mixes with Qt's
// events. Used on the user-interface thread only.
class X11DisplayPower {
 public:
  // nullptr when no display can be reached.
  [[nodiscard]] static std::unique_ptr<X11DisplayPower> Open();
  ~X11DisplayPower();
  X11DisplayPower(const X11DisplayPower&) = delete;
  X11DisplayPower& operator=(const X11DisplayPower&) = delete;

  // Whether the server can power the display down at all: it has the DPMS
  // extension and calls itself capable. XWayland and the virtual servers
  // have no DPMS; their display always reads as on.
  [[nodiscard]] bool hasPowerLevels() const { return capable_; }

  // Standby, suspend and off are powered down. DPMS switched off by the
  // user (xset -dpms) reads as on, as does a server without power levels.
  // One round trip.
  [[nodiscard]] bool poweredDown();

  // Pointer motion anywhere on the screen, for as long as it is watched,
  // wakes the connection's file descriptor; no other client's events
  // change by it. Watched only while it matters (the display is dark), so
  // that an ordinary mouse move costs nothing.
  void watchPointer(bool watch);
  [[nodiscard]] int fileDescriptor() const;
  // Reads everything that has arrived; true when it held pointer motion.
  [[nodiscard]] bool takePointerMotion();
  // The server has gone; nothing here will tell anything again.
  [[nodiscard]] bool broken() const;

 private:
  X11DisplayPower(xcb_connection_t* connection, unsigned root);

  xcb_connection_t* connection_;
  unsigned root_;
  bool capable_ = false;
  // The input extension's major opcode, or 0 when the server has no
  // version of it that reports raw motion.
  unsigned inputOpcode_ = 0;
  bool watchingPointer_ = false;
};

}  // namespace quorrel::linux_desktop
