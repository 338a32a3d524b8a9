#pragma once

#include <systemd/sd-bus.h>

#include <functional>
#include <memory>
#include <string>

#include "idle/idle_watcher.h"
#include "idle/inhibitions.h"
#include "linux/idle/bus_connection.h"
#include "linux/idle/show_process.h"

namespace quorrel::linux_desktop {

// The session as the watcher sees it: whether it is locked, whether
// something keeps it awake, whether a show runs on its display, and the
// show the watcher starts. Either bus may be missing; what it would have
// told then counts as "no".
class SessionDesktop : public IdleDesktop {
 public:
  // `lockChanged` hears of every lock or desktop screen saver that turns
  // active from now on.
  SessionDesktop(BusConnection* sessionBus, BusConnection* systemBus, ShowProcess& show,
                 const Inhibitions& ownInhibitions, std::function<void(bool)> lockChanged);
  ~SessionDesktop() override;
  SessionDesktop(const SessionDesktop&) = delete;
  SessionDesktop& operator=(const SessionDesktop&) = delete;

  bool showRunning() override;
  bool locked() override;
  bool inhibited() override;
  bool startShow() override { return show_.start(); }
  void endShow() override { show_.terminate(); }

 private:
  void findLoginSession();
  void watchSignals();
  static int activeChanged(sd_bus_message* signal, void* self, sd_bus_error* error);
  static int sessionPropertiesChanged(sd_bus_message* signal, void* self, sd_bus_error* error);
  static int sessionLocked(sd_bus_message* signal, void* self, sd_bus_error* error);
  // A desktop's screen saver, asked only when another program owns its
  // name: the watcher's own answer to org.freedesktop.ScreenSaver would be
  // a question to itself.
  [[nodiscard]] bool desktopSaverActive(const char* name, const char* path, const char* interface) const;

  BusConnection* sessionBus_;
  BusConnection* systemBus_;
  ShowProcess& show_;
  const Inhibitions& ownInhibitions_;
  std::function<void(bool)> lockChanged_;
  // logind's object for this session; empty when logind does not know it.
  std::string loginSession_;
  sd_bus_slot* slots_[4] = {nullptr, nullptr, nullptr, nullptr};
};

}  // namespace quorrel::linux_desktop
