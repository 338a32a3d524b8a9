#pragma once

// GNOME Shell 43 as a headless Wayland desktop (one virtual monitor, with
// XWayland) in a NamespacedDesktop, with what a GNOME session has on it
// for the idle watcher: gnome-session, whose inhibitors Mutter's idle
// monitor honours, and gsd-screensaver-proxy, which answers
// org.freedesktop.ScreenSaver.Inhibit for browsers and players. The test
// presses keys through Mutter's remote-desktop interface (XTest through
// XWayland does not count as the user's activity) and takes screenshots
// through the shell's screenshot interface.

#include <cstdint>
#include <memory>
#include <string>

#include "tests/linux/desktops/idle_scenario.h"
#include "tests/linux/desktops/namespaced_desktop.h"
#include "tests/linux/desktops/session_bus.h"
#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {

class GnomeShellSession : public IdleDesktop {
 public:
  // Starts the shell and the session manager, leaves the Overview the
  // shell starts in, and waits until XWayland answers.
  GnomeShellSession(int width, int height);
  GnomeShellSession(const GnomeShellSession&) = delete;
  GnomeShellSession& operator=(const GnomeShellSession&) = delete;

  [[nodiscard]] NamespacedDesktop& desktop() override { return desktop_; }
  [[nodiscard]] Screenshot screenshot() override;
  void pressSpace() override { pressKey(kSpaceKeysym); }
  // Whether gnome-session counts an inhibitor of idleness (flag 8).
  [[nodiscard]] bool inhibitionReported() override;

 private:
  static constexpr std::uint32_t kSpaceKeysym = 0x20;

  // Presses and releases a key, given as an X keysym.
  void pressKey(std::uint32_t keysym);
  void startSessionManager();
  void leaveOverview();
  void startRemoteDesktop();

  NamespacedDesktop desktop_;
  std::unique_ptr<SessionBus> bus_;
  std::unique_ptr<ChildProcess> sessionManager_;
  QString remoteDesktop_;  // the remote-desktop session's object path
};

}  // namespace quorrel::test
