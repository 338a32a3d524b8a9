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

#include "tests/linux/desktops/idle_scenario.h"
#include "tests/linux/desktops/namespaced_desktop.h"
#include "tests/linux/desktops/session_bus.h"
#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {

class KWinSession : public IdleDesktop {
 public:
  // Starts KWin and powerdevil and waits until both answer and XWayland
  // does.
  KWinSession(int width, int height);
  KWinSession(const KWinSession&) = delete;
  KWinSession& operator=(const KWinSession&) = delete;

  [[nodiscard]] NamespacedDesktop& desktop() override { return desktop_; }
  [[nodiscard]] Screenshot screenshot() override;
  void pressSpace() override;
  // What powerdevil answers to HasInhibit. KWin hands what its own
  // org.freedesktop.ScreenSaver is asked to inhibit on to powerdevil.
  [[nodiscard]] bool inhibitionReported() override;
  // Through KWin's org.freedesktop.ScreenSaver.Lock. Its greeter cannot
  // start here (it needs Qt's Wayland platform), but KWin holds the
  // session locked all the same, and there is no unlocking it.
  [[nodiscard]] bool lock() override;
  [[nodiscard]] bool locked() override;

 private:
  void startPowerdevil();

  NamespacedDesktop desktop_;
  std::unique_ptr<SessionBus> bus_;
  std::unique_ptr<ChildProcess> powerdevil_;
};

}  // namespace quorrel::test
