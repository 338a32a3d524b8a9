#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "idle/idle_watcher.h"
#include "linux/idle/bus_connection.h"

namespace quorrel::linux_desktop {

// GNOME's idle monitor (on Wayland and on Xorg): an idle watch that Mutter
// keeps for this connection and fires each time the session has been idle
// for the wait. Mutter holds it back while gnome-session has an idle
// inhibitor, so a video player's or browser's inhibition counts here
// without a question of the watcher's.
class MutterIdleSource : public IdleSource {
 public:
  // Nothing when no idle monitor answers on the session bus.
  [[nodiscard]] static std::unique_ptr<MutterIdleSource> Connect(BusConnection& bus, std::function<void()> idle);
  ~MutterIdleSource() override;

  void setWait(std::chrono::milliseconds wait) override;

 private:
  MutterIdleSource(BusConnection& bus, std::function<void()> idle) : bus_(bus), idle_(std::move(idle)) {}
  static int watchFired(sd_bus_message* message, void* self, sd_bus_error* error);

  BusConnection& bus_;
  std::function<void()> idle_;
  sd_bus_slot* match_ = nullptr;
  std::uint32_t watch_ = 0;
};

}  // namespace quorrel::linux_desktop
