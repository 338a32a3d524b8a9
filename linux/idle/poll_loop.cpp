#include "linux/idle/poll_loop.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace quorrel::linux_desktop {

int PollLoop::run() {
  std::vector<pollfd> fds;
  while (!status_) {
    fds.clear();
    std::optional<SteadyTime> wake;
    for (Pollable* p : pollables_) {
      p->beforeWait();
      fds.push_back({p->pollFd(), p->pollEvents(), 0});
      if (const auto d = p->deadline(); d && (!wake || *d < *wake)) wake = d;
    }
    // What a pollable handled just before the wait may have ended the loop.
    if (status_) break;
    int timeout = -1;
    if (wake) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - std::chrono::steady_clock::now());
      timeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 24 * 3600 * 1000));
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) return 1;
    for (std::size_t i = 0; i < pollables_.size() && !status_; ++i) pollables_[i]->afterWait(fds[i].revents);
  }
  return *status_;
}

}  // namespace quorrel::linux_desktop
