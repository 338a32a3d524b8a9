// The idle watcher on GNOME Shell 43 (headless Wayland, the show through
// XWayland): it names Mutter's idle monitor, starts the show once the
// session has been idle for its wait, the show covers the whole output, a
// key of the user's ends it, and a screen-saver inhibition held through
// gnome-session, as a browser playing a video holds one, keeps the next
// show from starting until it is released.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "tests/linux/desktops/desktop_checks.h"
#include "tests/linux/desktops/gnome_shell_session.h"
#include "tests/linux/desktops/idle_watcher.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kSpaceKeysym = 0x20;

TEST(GnomeIdle, startsTheShowAfterTheWaitEndsItOnAKeyAndHoldsBackWhileInhibited) {
  GnomeShellSession gnome(kOutputWidth, kOutputHeight);
  NamespacedDesktop& desktop = gnome.desktop();
  WriteRedShowSettings(desktop.home());
  EXPECT_LT(RedShare(gnome.screenshot()), 0.01) << "the desktop is red before any show";

  // The user is at the desktop when the watcher starts.
  gnome.pressKey(kSpaceKeysym);
  IdleWatcher watcher(desktop, kIdleSeconds);
  const std::string startLine = watcher.waitForStartLine(10s);
  EXPECT_TRUE(startLine.starts_with("quorrel: ")) << startLine;
  EXPECT_NE(startLine.find("(org.gnome.Mutter.IdleMonitor)"), std::string::npos) << startLine;
  ASSERT_TRUE(watcher.running()) << watcher.standardError();

  // The user's last input; the show comes the watcher's wait after it.
  gnome.pressKey(kSpaceKeysym);
  const auto lastInput = std::chrono::steady_clock::now();
  const std::optional<pid_t> show = watcher.waitForShow(kShowWithin);
  ASSERT_TRUE(show) << "no show after " << kIdleSeconds << " s idle\n" << watcher.standardError() << desktop.logTail();
  EXPECT_GE(std::chrono::steady_clock::now() - lastInput, std::chrono::seconds(kIdleSeconds))
      << "the show came before the wait was over";
  EXPECT_EQ(LineCount(watcher.standardError()), 1) << "written while it waited:\n" << watcher.standardError();

  // The show's window covers the output, the shell's top bar included,
  // and the video fills it.
  double red = 0;
  EXPECT_TRUE(WaitUntil([&] { return (red = RedShare(gnome.screenshot())) >= 0.99; }, 15s))
      << "the show's red covers " << red * 100 << " % of the output";

  // A browser starts a video, the user comes back and leaves again: no
  // show while the inhibition holds.
  auto inhibition = gnome.inhibit();
  ASSERT_TRUE(WaitUntil([&] { return gnome.idleInhibited(); }, 10s)) << "gnome-session took no inhibitor";
  gnome.pressKey(kSpaceKeysym);
  EXPECT_TRUE(watcher.waitUntilShowEnded(10s)) << "a key did not end the show";
  EXPECT_FALSE(WaitUntil([&] { return watcher.showRuns(); }, kInhibitedFor))
      << "the show started while an inhibitor was held";

  // The video ends: the next idle period starts the show again.
  inhibition.reset();
  ASSERT_TRUE(WaitUntil([&] { return !gnome.idleInhibited(); }, 10s)) << "the inhibitor outlived its client";
  gnome.pressKey(kSpaceKeysym);
  EXPECT_TRUE(watcher.waitForShow(kShowWithin)) << "no show after the inhibitor was released";
  gnome.pressKey(kSpaceKeysym);
  EXPECT_TRUE(watcher.waitUntilShowEnded(10s)) << "a key did not end the second show";

  EXPECT_TRUE(watcher.running()) << watcher.standardError();
  EXPECT_EQ(WatcherLineCount(watcher.standardError()), 1) << watcher.standardError();
}

}  // namespace
}  // namespace quorrel::test
