#include "linux/idle/settings_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace quorrel::linux_desktop {

namespace {

constexpr std::chrono::seconds kLookWithoutWatch{2};

}  // namespace

SettingsWatch::SettingsWatch(std::string folder, std::string fileName, std::function<void()> changed)
    : folder_(std::move(folder)), fileName_(std::move(fileName)), changed_(std::move(changed)) {
  inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  watchFolder();
}

SettingsWatch::~SettingsWatch() {
  if (inotify_ >= 0) ::close(inotify_);
}

void SettingsWatch::watchFolder() {
  watching_ = inotify_ >= 0 && inotify_add_watch(inotify_, folder_.c_str(),
                                                 IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE |
                                                     IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR) >= 0;
  if (!watching_) nextLook_ = std::chrono::steady_clock::now() + kLookWithoutWatch;
}

short SettingsWatch::pollEvents() const { return POLLIN; }

std::optional<SteadyTime> SettingsWatch::deadline() const {
  if (watching_) return std::nullopt;
  return nextLook_;
}

void SettingsWatch::afterWait(short revents) {
  if (!watching_) {
    if (std::chrono::steady_clock::now() < nextLook_) return;
    watchFolder();
    changed_();
    return;
  }
  if ((revents & POLLIN) == 0) return;
  alignas(inotify_event) std::array<char, 4096> buffer{};
  bool ours = false;
  bool folderGone = false;
  for (;;) {
    const ssize_t length = ::read(inotify_, buffer.data(), buffer.size());
    if (length <= 0) break;
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
      if (event->len > 0 && fileName_ == event->name) ours = true;
      if ((event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) folderGone = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  if (folderGone) {
    // The folder was removed or moved away: the settings went with it.
    watching_ = false;
    nextLook_ = std::chrono::steady_clock::now();
  }
  if (ours || folderGone) changed_();
}

}  // namespace quorrel::linux_desktop
