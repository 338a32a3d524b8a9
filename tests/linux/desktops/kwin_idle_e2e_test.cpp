// The idle watcher on KWin 5.27 (virtual Wayland output, the show through
// XWayland): it names the ext-idle-notify protocol; keys come through
// KWin's fake-input protocol, and the browser's inhibition, which KWin
// hands on to powerdevil, holds the show back only because the watcher
// asks powerdevil's HasInhibit: KWin's idle notification fires all the
// same.

#include <gtest/gtest.h>

#include "tests/linux/desktops/idle_scenario.h"
#include "tests/linux/desktops/kwin_session.h"

namespace quorrel::test {
namespace {

TEST(KWinIdle, startsTheShowAfterTheWaitEndsItOnAKeyAndHoldsBackWhilePowerdevilIsInhibited) {
  KWinSession kwin(kOutputWidth, kOutputHeight);
  RunIdleScenario(kwin, "ext_idle_notifier_v1");
}

}  // namespace
}  // namespace quorrel::test
