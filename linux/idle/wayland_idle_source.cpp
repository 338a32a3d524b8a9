#include "linux/idle/wayland_idle_source.h"

#include <poll.h>
#include <wayland-client.h>

#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"

namespace quorrel::linux_desktop {

namespace {

void ignoreGlobalRemoved(void*, wl_registry*, std::uint32_t) {}

void extIdled(void* self, ext_idle_notification_v1*) { (*static_cast<std::function<void()>*>(self))(); }
void extResumed(void*, ext_idle_notification_v1*) {}
constexpr ext_idle_notification_v1_listener kExtListener{extIdled, extResumed};

void kdeIdled(void* self, org_kde_kwin_idle_timeout*) { (*static_cast<std::function<void()>*>(self))(); }
void kdeResumed(void*, org_kde_kwin_idle_timeout*) {}
constexpr org_kde_kwin_idle_timeout_listener kKdeListener{kdeIdled, kdeResumed};

}  // namespace

std::unique_ptr<WaylandIdleSource> WaylandIdleSource::Connect(std::function<void()> idle) {
  // Only a compositor the session names: libwayland would otherwise try
  // "wayland-0", which may be another session's.
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (name == nullptr || *name == '\0') return nullptr;
  std::unique_ptr<WaylandIdleSource> source(new WaylandIdleSource(std::move(idle)));
  source->display_ = wl_display_connect(nullptr);
  if (source->display_ == nullptr) return nullptr;
  static constexpr wl_registry_listener kRegistryListener{&WaylandIdleSource::global, ignoreGlobalRemoved};
  source->registry_ = wl_display_get_registry(source->display_);
  wl_registry_add_listener(source->registry_, &kRegistryListener, source.get());
  if (wl_display_roundtrip(source->display_) < 0) return nullptr;
  if (source->seat_ == nullptr || (source->notifier_ == nullptr && source->kdeIdle_ == nullptr)) return nullptr;
  return source;
}

void WaylandIdleSource::global(void* self, wl_registry* registry, std::uint32_t name, const char* interface,
                               std::uint32_t) {
  auto* source = static_cast<WaylandIdleSource*>(self);
  // The first seat: a desktop session has one.
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && source->seat_ == nullptr) {
    source->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
    source->notifier_ =
        static_cast<ext_idle_notifier_v1*>(wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
  } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
    source->kdeIdle_ =
        static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
  }
}

WaylandIdleSource::~WaylandIdleSource() {
  if (display_ == nullptr) return;
  dropNotification();
  if (notifier_ != nullptr) ext_idle_notifier_v1_destroy(notifier_);
  if (kdeIdle_ != nullptr) org_kde_kwin_idle_destroy(kdeIdle_);
  if (seat_ != nullptr) wl_seat_destroy(seat_);
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

IdleSourceKind WaylandIdleSource::kind() const {
  return notifier_ != nullptr ? IdleSourceKind::ExtIdleNotifier : IdleSourceKind::KdeIdle;
}

void WaylandIdleSource::dropNotification() {
  if (notification_ != nullptr) ext_idle_notification_v1_destroy(notification_);
  if (kdeTimeout_ != nullptr) org_kde_kwin_idle_timeout_release(kdeTimeout_);
  notification_ = nullptr;
  kdeTimeout_ = nullptr;
}

void WaylandIdleSource::setWait(std::chrono::milliseconds wait) {
  dropNotification();
  const auto milliseconds = static_cast<std::uint32_t>(wait.count());
  if (notifier_ != nullptr) {
    notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, milliseconds, seat_);
    ext_idle_notification_v1_add_listener(notification_, &kExtListener, &idle_);
  } else {
    kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat_, milliseconds);
    org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &kKdeListener, &idle_);
  }
  wl_display_flush(display_);
}

int WaylandIdleSource::pollFd() const { return lost_ ? -1 : wl_display_get_fd(display_); }

short WaylandIdleSource::pollEvents() const { return POLLIN; }

void WaylandIdleSource::beforeWait() {
  if (lost_) return;
  // libwayland's way of waiting on its descriptor next to others: announce
  // the read, after handling whatever another read already queued.
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) {
      lost_ = true;
      return;
    }
  }
  reading_ = true;
  wl_display_flush(display_);
}

void WaylandIdleSource::afterWait(short revents) {
  if (!reading_) return;
  reading_ = false;
  if ((revents & (POLLERR | POLLHUP)) != 0) {
    wl_display_cancel_read(display_);
    lost_ = true;
    return;
  }
  if ((revents & POLLIN) != 0) {
    if (wl_display_read_events(display_) < 0) {
      lost_ = true;
      return;
    }
  } else {
    wl_display_cancel_read(display_);
  }
  if (wl_display_dispatch_pending(display_) < 0) lost_ = true;
}

}  // namespace quorrel::linux_desktop
