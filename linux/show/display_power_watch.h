#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "linux/show/x11_display_power.h"

namespace quorrel::linux_desktop {

// Tells the show when the display powers down and up. The X server sends
// no event for it, so the watch asks once a second, and, while the display
// is dark, also right after the pointer moves: a moving mouse is what
// usually wakes it, and the show should go on as soon as it is seen.
// Runs on the user-interface thread, from Qt's event loop.
class DisplayPowerWatch {
 public:
  using Listener = std::function<void(bool poweredDown)>;

  // `power` may be null (no display reached): the display then reads as on
  // throughout, as it does on a server without power levels.
  DisplayPowerWatch(std::unique_ptr<X11DisplayPower> power, Listener listener,
                    std::chrono::milliseconds interval = std::chrono::seconds(1));
  ~DisplayPowerWatch();
  DisplayPowerWatch(const DisplayPowerWatch&) = delete;
  DisplayPowerWatch& operator=(const DisplayPowerWatch&) = delete;

  // Reads the level now, tells the listener at once when the display is
  // already dark, and from then on tells it of every change.
  void start();
  [[nodiscard]] bool poweredDown() const { return poweredDown_; }

 private:
  void check();
  void pointerMoved();

  std::unique_ptr<X11DisplayPower> power_;
  Listener listener_;
  QTimer pollTimer_;
  // A moving pointer sends many events a second; one check per short
  // while is enough, with one more at its end for motion in between.
  QTimer motionPause_;
  bool movedDuringPause_ = false;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool poweredDown_ = false;
};

}  // namespace quorrel::linux_desktop
