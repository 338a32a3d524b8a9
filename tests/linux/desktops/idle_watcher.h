#pragma once

// `quorrel --idle SECONDS` run inside a test desktop as the session would
// run it, and the shows it starts, seen from outside: as processes below
// the test, as windows on the session's XWayland display.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "tests/linux/desktops/namespaced_desktop.h"

namespace quorrel::test {

class IdleWatcher {
 public:
  IdleWatcher(NamespacedDesktop& desktop, int seconds);
  IdleWatcher(const IdleWatcher&) = delete;
  IdleWatcher& operator=(const IdleWatcher&) = delete;

  // What the watcher, and the shows it started, wrote to standard error.
  [[nodiscard]] std::string standardError() const;
  // Waits for the watcher's line at its start and returns it.
  [[nodiscard]] std::string waitForStartLine(std::chrono::milliseconds timeout);
  [[nodiscard]] bool running() { return process_->running(); }

  // Waits until a show runs and its window is on the display; its process.
  [[nodiscard]] std::optional<pid_t> waitForShow(std::chrono::milliseconds timeout);
  // Whether a show process runs at all.
  [[nodiscard]] bool showRuns() const;
  // Waits until no show process and no show window is left.
  [[nodiscard]] bool waitUntilShowEnded(std::chrono::milliseconds timeout);
  // Kills the shows that did not end as they should have, so that what
  // the test checks next is not the same fault seen again.
  void killShows();

 private:
  [[nodiscard]] bool showWindowVisible();

  NamespacedDesktop& desktop_;
  std::string errorLog_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace quorrel::test
