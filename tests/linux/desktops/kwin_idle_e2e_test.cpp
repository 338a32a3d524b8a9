// The idle watcher on KWin 5.27 (virtual Wayland output, the show through
// XWayland): it names the ext-idle-notify protocol, starts the show once
// the session has been idle for its wait, the show covers the whole
// output, a key through KWin's fake-input protocol ends it, and while
// powerdevil reports an inhibition (a browser's
// org.freedesktop.ScreenSaver.Inhibit, which KWin hands on to powerdevil)
// no show starts, although KWin's idle notification fires all the same.

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <chrono>
#include <optional>
#include <string>

#include "tests/linux/desktops/desktop_checks.h"
#include "tests/linux/desktops/idle_watcher.h"
#include "tests/linux/desktops/kwin_session.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

TEST(KWinIdle, startsTheShowAfterTheWaitEndsItOnAKeyAndHoldsBackWhilePowerdevilIsInhibited) {
  KWinSession kwin(kOutputWidth, kOutputHeight);
  NamespacedDesktop& desktop = kwin.desktop();
  WriteRedShowSettings(desktop.home());
  EXPECT_LT(RedShare(kwin.screenshot()), 0.01) << "the desktop is red before any show";
  ASSERT_FALSE(kwin.hasInhibit());

  // The user is at the desktop when the watcher starts.
  kwin.pressKey(KEY_SPACE);
  IdleWatcher watcher(desktop, kIdleSeconds);
  const std::string startLine = watcher.waitForStartLine(10s);
  EXPECT_TRUE(startLine.starts_with("quorrel: ")) << startLine;
  EXPECT_NE(startLine.find("(ext_idle_notifier_v1)"), std::string::npos) << startLine;
  ASSERT_TRUE(watcher.running()) << watcher.standardError();

  // The user's last input; the show comes the watcher's wait after it.
  kwin.pressKey(KEY_SPACE);
  const auto lastInput = std::chrono::steady_clock::now();
  const std::optional<pid_t> show = watcher.waitForShow(kShowWithin);
  ASSERT_TRUE(show) << "no show after " << kIdleSeconds << " s idle\n" << watcher.standardError() << desktop.logTail();
  EXPECT_GE(std::chrono::steady_clock::now() - lastInput, std::chrono::seconds(kIdleSeconds))
      << "the show came before the wait was over";
  EXPECT_EQ(LineCount(watcher.standardError()), 1) << "written while it waited:\n" << watcher.standardError();

  double red = 0;
  EXPECT_TRUE(WaitUntil([&] { return (red = RedShare(kwin.screenshot())) >= 0.99; }, 15s))
      << "the show's red covers " << red * 100 << " % of the output";

  // A browser starts a video, the user comes back and leaves again:
  // KWin's idle notification fires, but no show starts while powerdevil
  // reports the inhibition. powerdevil takes an inhibition on only after
  // a few seconds, on purpose.
  auto inhibition = kwin.inhibit();
  ASSERT_TRUE(WaitUntil([&] { return kwin.hasInhibit(); }, 15s)) << "powerdevil took no inhibition";
  kwin.pressKey(KEY_SPACE);
  EXPECT_TRUE(watcher.waitUntilShowEnded(10s)) << "a key did not end the show";
  EXPECT_FALSE(WaitUntil([&] { return watcher.showRuns(); }, kInhibitedFor))
      << "the show started while an inhibitor was held";

  // The video ends, the user comes back and leaves again: the show starts
  // after the wait.
  inhibition.reset();
  ASSERT_TRUE(WaitUntil([&] { return !kwin.hasInhibit(); }, 15s)) << "the inhibition outlived its client";
  kwin.pressKey(KEY_SPACE);
  EXPECT_TRUE(watcher.waitForShow(kShowWithin)) << "no show after the inhibition was released";
  kwin.pressKey(KEY_SPACE);
  EXPECT_TRUE(watcher.waitUntilShowEnded(10s)) << "a key did not end the second show";

  EXPECT_TRUE(watcher.running()) << watcher.standardError();
  EXPECT_EQ(WatcherLineCount(watcher.standardError()), 1) << watcher.standardError();
}

}  // namespace
}  // namespace quorrel::test
