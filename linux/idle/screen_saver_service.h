#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <memory>

#include "idle/inhibitions.h"
#include "linux/idle/bus_connection.h"

namespace quorrel::linux_desktop {

// org.freedesktop.ScreenSaver on a session bus where no desktop answers
// it (plain X11): browsers and video players ask it to keep the screen
// awake while they play, and without an answer their requests keep
// nothing awake. The watcher answers as XScreenSaver's helper does: it
// keeps the inhibitions, and a simulated activity counts as input. A
// desktop that starts later may take the name over.
class ScreenSaverService {
 public:
  // Nothing when another program owns the name already.
  [[nodiscard]] static std::unique_ptr<ScreenSaverService> Own(BusConnection& bus, Inhibitions& inhibitions,
                                                               std::function<void()> userActivity,
                                                               std::function<bool()> showActive);
  ~ScreenSaverService();
  ScreenSaverService(const ScreenSaverService&) = delete;
  ScreenSaverService& operator=(const ScreenSaverService&) = delete;

  static constexpr const char* kName = "org.freedesktop.ScreenSaver";

 private:
  ScreenSaverService(BusConnection& bus, Inhibitions& inhibitions, std::function<void()> userActivity,
                     std::function<bool()> showActive)
      : bus_(bus),
        inhibitions_(inhibitions),
        userActivity_(std::move(userActivity)),
        showActive_(std::move(showActive)) {}
  static int inhibit(sd_bus_message* call, void* self, sd_bus_error* error);
  static int unInhibit(sd_bus_message* call, void* self, sd_bus_error* error);
  static int simulateUserActivity(sd_bus_message* call, void* self, sd_bus_error* error);
  static int getActive(sd_bus_message* call, void* self, sd_bus_error* error);
  static int nameOwnerChanged(sd_bus_message* signal, void* self, sd_bus_error* error);
  static const sd_bus_vtable kMethods[];

  BusConnection& bus_;
  Inhibitions& inhibitions_;
  std::function<void()> userActivity_;
  std::function<bool()> showActive_;
  sd_bus_slot* objects_[2] = {nullptr, nullptr};
  sd_bus_slot* ownersLeaving_ = nullptr;
  bool owned_ = false;
};

}  // namespace quorrel::linux_desktop
