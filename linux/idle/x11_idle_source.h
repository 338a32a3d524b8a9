#pragma once

#include <functional>
#include <memory>

#include "idle/idle_watcher.h"
#include "linux/idle/poll_loop.h"

struct xcb_connection_t;

namespace quorrel::linux_desktop {

// The X server's time since the last input, from its MIT-SCREEN-SAVER
// extension (XWayland has none). The server sends no event when that time
// passes a mark, so it is asked: never more often than once a second, and
// while the session is short of the wait, only when the wait could have
// passed.
class X11IdleSource : public IdleSource, public Pollable {
 public:
  // Nothing when DISPLAY names no reachable server, or one without the
  // extension.
  [[nodiscard]] static std::unique_ptr<X11IdleSource> Connect(std::function<void()> idle);
  ~X11IdleSource() override;

  // The display has gone: the session is over.
  [[nodiscard]] bool lost() const { return lost_; }
  // Input in all but name (a media player's "the user is watching"): the
  // server's idle time starts again from zero.
  void simulateUserActivity();

  void setWait(std::chrono::milliseconds wait) override;

  int pollFd() const override;
  short pollEvents() const override;
  std::optional<SteadyTime> deadline() const override { return nextLook_; }
  void afterWait(short revents) override;

 private:
  explicit X11IdleSource(std::function<void()> idle) : idle_(std::move(idle)) {}
  void look();

  std::function<void()> idle_;
  xcb_connection_t* connection_ = nullptr;
  std::uint32_t root_ = 0;
  std::chrono::milliseconds wait_{0};
  // Whether this idle period has been reported; it ends with input.
  bool reported_ = false;
  std::chrono::milliseconds lastIdle_{0};
  SteadyTime nextLook_{};
  bool lost_ = false;
};

}  // namespace quorrel::linux_desktop
