#include "linux/idle/idle_sources.h"

namespace quorrel::linux_desktop {

bool SessionIdleSources::answers(IdleSourceKind kind) {
  switch (kind) {
    case IdleSourceKind::MutterIdleMonitor:
      if (sessionBus_ != nullptr) mutter_ = MutterIdleSource::Connect(*sessionBus_, idle_);
      return mutter_ != nullptr;
    case IdleSourceKind::ExtIdleNotifier:
    case IdleSourceKind::KdeIdle:
      // One connection tells which of the two the compositor offers.
      if (!waylandTried_) {
        waylandTried_ = true;
        wayland_ = WaylandIdleSource::Connect(idle_);
      }
      return wayland_ != nullptr && wayland_->kind() == kind;
    case IdleSourceKind::XScreenSaver:
      x11_ = X11IdleSource::Connect(idle_);
      return x11_ != nullptr;
  }
  return false;
}

IdleSource& SessionIdleSources::choose(IdleSourceKind kind) {
  switch (kind) {
    case IdleSourceKind::MutterIdleMonitor:
      wayland_.reset();
      x11_.reset();
      return *mutter_;
    case IdleSourceKind::ExtIdleNotifier:
    case IdleSourceKind::KdeIdle:
      mutter_.reset();
      x11_.reset();
      return *wayland_;
    case IdleSourceKind::XScreenSaver:
      break;
  }
  mutter_.reset();
  wayland_.reset();
  return *x11_;
}

Pollable* SessionIdleSources::pollable() {
  if (wayland_) return wayland_.get();
  if (x11_) return x11_.get();
  return nullptr;
}

bool SessionIdleSources::lost() const {
  if (mutter_) return sessionBus_->lost();
  if (wayland_) return wayland_->lost();
  if (x11_) return x11_->lost();
  return true;
}

}  // namespace quorrel::linux_desktop
