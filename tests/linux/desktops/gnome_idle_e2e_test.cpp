// The idle watcher on GNOME Shell 43 (headless Wayland, the show through
// XWayland): it names Mutter's idle monitor; keys come through Mutter's
// remote-desktop interface, and the browser's inhibition reaches Mutter's
// idle monitor through gnome-session, which holds back the monitor's idle
// events themselves.

#include <gtest/gtest.h>

#include "tests/linux/desktops/gnome_shell_session.h"
#include "tests/linux/desktops/idle_scenario.h"

namespace quorrel::test {
namespace {

TEST(GnomeIdle, startsTheShowAfterTheWaitEndsItOnAKeyAndHoldsBackWhileInhibited) {
  GnomeShellSession gnome(kOutputWidth, kOutputHeight);
  RunIdleScenario(gnome, "org.gnome.Mutter.IdleMonitor");
}

}  // namespace
}  // namespace quorrel::test
