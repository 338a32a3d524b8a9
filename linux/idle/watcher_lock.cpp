#include "linux/idle/watcher_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/log.h"

namespace quorrel::linux_desktop {

std::string WatcherLockName(const char* waylandDisplay, const char* x11Display) {
  std::string display = "none";
  if (waylandDisplay != nullptr && *waylandDisplay != '\0') {
    display = std::string("wayland-") + waylandDisplay;
  } else if (x11Display != nullptr && *x11Display != '\0') {
    display = std::string("x11-") + x11Display;
  }
  for (char& c : display) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
    if (!plain) c = '_';
  }
  return "quorrel-idle-" + display + ".lock";
}

std::unique_ptr<WatcherLock> WatcherLock::Take() {
  // The runtime folder is the user's alone; without one, /tmp with a name
  // that carries the user's number, opened so that nobody else's file or
  // link there can stand in for it.
  std::string folder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
    folder = runtime;
  } else {
    folder = "/tmp";
  }
  std::string name = WatcherLockName(std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
  if (folder == "/tmp") name = std::to_string(::getuid()) + "-" + name;
  const std::string path = folder + "/" + name;
  const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor < 0) {
    LogError("idle watcher: cannot open " + path + ": " + std::strerror(errno));
    return nullptr;
  }
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || status.st_uid != ::getuid() || !S_ISREG(status.st_mode)) {
    LogError("idle watcher: " + path + " is not this user's own file");
    ::close(descriptor);
    return nullptr;
  }
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    ::close(descriptor);
    return nullptr;
  }
  return std::unique_ptr<WatcherLock>(new WatcherLock(descriptor));
}

WatcherLock::~WatcherLock() { ::close(descriptor_); }

}  // namespace quorrel::linux_desktop
