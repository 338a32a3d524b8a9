#pragma once

// KWin 5.27 as a virtual Wayland desktop (one output, with XWayland) in a
// NamespacedDesktop, with powerdevil, which answers
// org.freedesktop.PowerManagement.Inhibit for what KWin's own
// org.freedesktop.ScreenSaver is asked to inhibit: KWin's idle protocols
// fire whatever D-Bus inhibitors are held. The test presses keys through
// KWin's fake-input protocol (kwin_fake_input) and takes screenshots
// through KWin's ScreenShot2 interface, which needs OpenGL compositing
// (llvmpipe here).

#include <memory>
#include <string>

#include "tests/linux/desktops/namespaced_desktop.h"
#include "tests/linux/desktops/session_bus.h"
#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {

class KWinSession {
 public:
  // Starts KWin and powerdevil and waits until both answer and XWayland
  // does.
  KWinSession(int width, int height);
  KWinSession(const KWinSession&) = delete;
  KWinSession& operator=(const KWinSession&) = delete;

  [[nodiscard]] NamespacedDesktop& desktop() { return desktop_; }
  [[nodiscard]] Screenshot screenshot();
  // Presses and releases a key, given as its evdev code, as the user would.
  void pressKey(int code);
  // What powerdevil answers to HasInhibit.
  [[nodiscard]] bool hasInhibit();
  // Holds org.freedesktop.ScreenSaver.Inhibit, which KWin hands on to
  // powerdevil, until the returned client leaves.
  [[nodiscard]] std::unique_ptr<ScreenSaverInhibition> inhibit() {
    return std::make_unique<ScreenSaverInhibition>(desktop_.sessionBus());
  }

 private:
  void startPowerdevil();

  NamespacedDesktop desktop_;
  std::unique_ptr<SessionBus> bus_;
  std::unique_ptr<ChildProcess> powerdevil_;
};

}  // namespace quorrel::test
