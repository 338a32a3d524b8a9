#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace quorrel::linux_desktop {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the user-interface
// thread: the handler only writes a byte into a pipe, and a socket notifier
// in the event loop reads it. The previous handlers come back on
// destruction.
class TerminationSignals {
 public:
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Called once, in the event loop, for the first signal.
  void onSignal(std::function<void()> action) { action_ = std::move(action); }
  // Whether a signal has arrived (also before the event loop ran).
  [[nodiscard]] bool received() const;
  // The first signal that arrived; 0 when none has.
  [[nodiscard]] int signalNumber() const;

 private:
  std::function<void()> action_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool handled_ = false;
};

}  // namespace quorrel::linux_desktop
