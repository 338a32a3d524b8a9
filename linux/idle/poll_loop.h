#pragma once

#include <chrono>
#include <optional>
#include <vector>

namespace quorrel::linux_desktop {

using SteadyTime = std::chrono::steady_clock::time_point;

// A descriptor and a deadline that the watcher's one thread waits on. The
// watcher spends its life asleep in poll(): nothing wakes it but an event
// of the session or a deadline it asked for.
class Pollable {
 public:
  virtual ~Pollable() = default;
  // The descriptor to wait on, or -1 for none.
  [[nodiscard]] virtual int pollFd() const { return -1; }
  [[nodiscard]] virtual short pollEvents() const { return 0; }
  // When this wants to be woken without an event; nothing for never.
  [[nodiscard]] virtual std::optional<SteadyTime> deadline() const { return std::nullopt; }
  // Just before the wait: a last chance to flush what is queued.
  virtual void beforeWait() {}
  // After the wait, with what happened on the descriptor (0 for nothing);
  // called for every pollable after every wake.
  virtual void afterWait(short revents) = 0;
};

// Waits on every pollable until stop() is asked for.
class PollLoop {
 public:
  void add(Pollable& pollable) { pollables_.push_back(&pollable); }
  void stop(int status) { status_ = status; }
  // Runs until a stop; returns its status.
  [[nodiscard]] int run();

 private:
  std::vector<Pollable*> pollables_;
  std::optional<int> status_;
};

}  // namespace quorrel::linux_desktop
