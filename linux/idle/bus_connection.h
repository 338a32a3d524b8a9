#pragma once

#include <systemd/sd-bus.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "linux/idle/poll_loop.h"

namespace quorrel::linux_desktop {

// One connection to a D-Bus bus (the session's or the system's), waited on
// in the watcher's loop. Watches that a desktop keeps for a client (GNOME's
// idle watches) belong to the connection, so it lives as long as the
// watcher. Calls are synchronous and short: the watcher asks its questions
// only when the session has gone idle.
class BusConnection : public Pollable {
 public:
  // Nothing when the bus cannot be reached (no session bus in the
  // environment, no system bus on the machine).
  [[nodiscard]] static std::unique_ptr<BusConnection> OpenSession();
  [[nodiscard]] static std::unique_ptr<BusConnection> OpenSystem();
  ~BusConnection() override;
  BusConnection(const BusConnection&) = delete;
  BusConnection& operator=(const BusConnection&) = delete;

  [[nodiscard]] sd_bus* get() const { return bus_; }
  // The bus is gone (the session ended, or the daemon died).
  [[nodiscard]] bool lost() const { return lost_; }
  [[nodiscard]] std::string uniqueName() const;

  // The unique name of the owner of a well-known name; nothing when none.
  [[nodiscard]] std::optional<std::string> ownerOf(const char* name) const;
  // A method without arguments that answers one boolean; nothing when the
  // call fails or does not answer within the time.
  [[nodiscard]] std::optional<bool> callForBoolean(const char* destination, const char* path, const char* interface,
                                                   const char* member) const;

  int pollFd() const override;
  short pollEvents() const override;
  std::optional<SteadyTime> deadline() const override;
  void beforeWait() override;
  void afterWait(short revents) override;

  // How long a question may take before it counts as unanswered.
  static constexpr std::chrono::milliseconds kCallTimeout{2000};

 private:
  explicit BusConnection(sd_bus* bus) : bus_(bus) {}
  // The connection once it is up; nothing (and the bus closed) when not.
  static std::unique_ptr<BusConnection> Started(sd_bus* bus, int opened);
  void processAll();

  sd_bus* bus_;
  bool lost_ = false;
};

}  // namespace quorrel::linux_desktop
