#pragma once

// What the idle watcher must do on every desktop, as one user's afternoon:
// the watcher starts and names its idle source, the user stops typing and
// the show comes after the wait, covering the whole output; the user
// starts a video in a browser, which inhibits the screen saver, comes
// back (a key ends the show) and leaves again, and no show comes while the
// video plays; the video ends, the user comes back and leaves again, and
// the show comes again; where the desktop can lock, the session locks
// while the show runs, which ends it, and no show comes while it is
// locked. Each desktop test runs it on its own desktop.

#include <memory>
#include <string>

#include "tests/linux/desktops/namespaced_desktop.h"
#include "tests/linux/desktops/session_bus.h"
#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {

constexpr int kOutputWidth = 1280;
constexpr int kOutputHeight = 720;

// What the scenario needs of a desktop besides its session.
class IdleDesktop {
 public:
  virtual ~IdleDesktop() = default;
  [[nodiscard]] virtual NamespacedDesktop& desktop() = 0;
  // The whole output as the desktop composes it.
  [[nodiscard]] virtual Screenshot screenshot() = 0;
  // Presses and releases the space bar as the user would, so that the
  // desktop counts it as the user's activity.
  virtual void pressSpace() = 0;
  // Whether the desktop's own inhibitor service reports an inhibition of
  // idleness, which it may take on a while after a client asked.
  [[nodiscard]] virtual bool inhibitionReported() = 0;
  // Locks the session as the user's lock shortcut would, and says whether
  // the desktop can lock here at all (GNOME's lock shield needs a display
  // manager).
  [[nodiscard]] virtual bool lock() { return false; }
  // Whether the desktop says its lock screen is up.
  [[nodiscard]] virtual bool locked() { return false; }
  // Holds org.freedesktop.ScreenSaver.Inhibit as a browser playing a
  // video does, until the returned client leaves the bus.
  [[nodiscard]] std::unique_ptr<ScreenSaverInhibition> inhibit() {
    return std::make_unique<ScreenSaverInhibition>(desktop().sessionBus());
  }
};

// Runs the scenario with `quorrel --idle 3`; `idleSource` is the name the
// watcher's first line must give.
void RunIdleScenario(IdleDesktop& desktop, const std::string& idleSource);

}  // namespace quorrel::test
