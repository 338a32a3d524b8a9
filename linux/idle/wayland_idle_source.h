#pragma once

#include <functional>
#include <memory>

#include "idle/idle_watcher.h"
#include "linux/idle/poll_loop.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

namespace quorrel::linux_desktop {

// The Wayland compositor's own idle notification: ext_idle_notifier_v1
// where the compositor has it (KWin, newer wlroots desktops), else KDE's
// older org_kde_kwin_idle (KWin, sway 1.7, Hyprland). Both hold back while
// a client holds a Wayland idle inhibitor, as a visible video player does.
class WaylandIdleSource : public IdleSource, public Pollable {
 public:
  // Nothing when WAYLAND_DISPLAY names no compositor, or one without
  // either protocol.
  [[nodiscard]] static std::unique_ptr<WaylandIdleSource> Connect(std::function<void()> idle);
  ~WaylandIdleSource() override;

  [[nodiscard]] IdleSourceKind kind() const;
  // The compositor has gone: the session is over.
  [[nodiscard]] bool lost() const { return lost_; }

  void setWait(std::chrono::milliseconds wait) override;

  int pollFd() const override;
  short pollEvents() const override;
  void beforeWait() override;
  void afterWait(short revents) override;

 private:
  explicit WaylandIdleSource(std::function<void()> idle) : idle_(std::move(idle)) {}
  void dropNotification();
  static void global(void* self, wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version);

  std::function<void()> idle_;
  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  ext_idle_notifier_v1* notifier_ = nullptr;
  org_kde_kwin_idle* kdeIdle_ = nullptr;
  ext_idle_notification_v1* notification_ = nullptr;
  org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
  bool reading_ = false;
  bool lost_ = false;
};

}  // namespace quorrel::linux_desktop
