#pragma once

#include <memory>
#include <string>

namespace quorrel::linux_desktop {

// The one watcher of a session: a lock on a file in the user's runtime
// folder, named after the session's display, held for the watcher's life.
// The kernel lets it go when the process ends, however it ends.
class WatcherLock {
 public:
  // Nothing when another watcher of this session holds it, or no lock file
  // can be made (the reason is on standard error then).
  [[nodiscard]] static std::unique_ptr<WatcherLock> Take();
  ~WatcherLock();
  WatcherLock(const WatcherLock&) = delete;
  WatcherLock& operator=(const WatcherLock&) = delete;

 private:
  explicit WatcherLock(int descriptor) : descriptor_(descriptor) {}
  int descriptor_;
};

// The lock file's name for a session with these display names: the
// Wayland display where there is one, else the X display, each byte that
// could not stand in a file name turned into '_'.
[[nodiscard]] std::string WatcherLockName(const char* waylandDisplay, const char* x11Display);

}  // namespace quorrel::linux_desktop
