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
  // "runs", or how it ended, with what it wrote, for a failure's report.
  [[nodiscard]] std::string state();

  // Waits until a show runs and its window is on the display with the
  // keyboard focus; its process. A window is on screen a moment before it
  // has the keys, and a key in that moment goes to the window before it.
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
  [[nodiscard]] bool showWindowFocused();

  NamespacedDesktop& desktop_;
  std::string errorLog_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace quorrel::test
