#pragma once

#include <functional>
#include <memory>

#include "idle/idle_watcher.h"
#include "linux/idle/bus_connection.h"
#include "linux/idle/mutter_idle_source.h"
#include "linux/idle/wayland_idle_source.h"
#include "linux/idle/x11_idle_source.h"

namespace quorrel::linux_desktop {

// The idle sources of a Linux session, each connected when it is first
// asked about; the one chosen keeps its connection for the watcher's life.
class SessionIdleSources : public IdleSourceProbe {
 public:
  SessionIdleSources(BusConnection* sessionBus, std::function<void()> idle)
      : sessionBus_(sessionBus), idle_(std::move(idle)) {}

  bool answers(IdleSourceKind kind) override;
  // The chosen source; drops the connections of the others.
  [[nodiscard]] IdleSource& choose(IdleSourceKind kind);
  // What the loop waits on for the chosen source (the session bus, which
  // GNOME's idle monitor speaks through, is waited on by itself).
  [[nodiscard]] Pollable* pollable();
  // The chosen source's connection has gone: the session is over.
  [[nodiscard]] bool lost() const;

  [[nodiscard]] X11IdleSource* x11() const { return x11_.get(); }

 private:
  BusConnection* sessionBus_;
  std::function<void()> idle_;
  std::unique_ptr<MutterIdleSource> mutter_;
  std::unique_ptr<WaylandIdleSource> wayland_;
  bool waylandTried_ = false;
  std::unique_ptr<X11IdleSource> x11_;
};

}  // namespace quorrel::linux_desktop
