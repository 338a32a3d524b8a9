// The real show on a desktop whose monitors change: none active when it
// starts, one switched on while it runs, then split into two, and message
// boxes that must take the keyboard while the show holds it.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// Waits until the red panel stands at `expected`; fails with where it is.
void expectRedPanel(const std::string& display, const Box& expected) {
  Box seen;
  const bool there = WaitUntil([&] { return (seen = Screenshot(display).boundsOf(Seen::Red)) == expected; }, 10s);
  EXPECT_TRUE(there) << "red panel at " << seen << ", expected " << expected;
}

TEST(Monitors, theShowFollowsMonitorsSwitchedOffOnAndSplit) {
  OwnXvfb desktop(1024, 768);
  Xrandr(desktop.display(), {"--output", "screen", "--off"});

  ShowRun show(desktop.display());
  show.settings("Picdis=2\nSound=0", {SolidClip("red", 320, 240, 60.0)});
  show.start();
  // With no monitor active the show still covers the X screen, on screen
  // and taking input.
  ASSERT_TRUE(show.windowVisible());
  expectRedPanel(desktop.display(), Box{256, 192, 512, 384});
  // A second start finds the show on screen and leaves it alone.
  EXPECT_EQ(RunProcess({"env", "DISPLAY=" + desktop.display(), QUORREL_EXECUTABLE, "/S"}, 20s).exitStatus, 0);
  EXPECT_TRUE(show.running());

  // The monitor comes back, then becomes two side by side, the left one
  // primary: the show moves onto it, its panel placed for its size, and the
  // right one is covered black.
  Xrandr(desktop.display(), {"--output", "screen", "--auto"});
  expectRedPanel(desktop.display(), Box{256, 192, 512, 384});
  Xrandr(desktop.display(), {"--setmonitor", "*left", "512/135x768/203+0+0", "screen"});
  Xrandr(desktop.display(), {"--setmonitor", "right", "512/135x768/203+512+0", "none"});
  expectRedPanel(desktop.display(), Box{128, 192, 256, 384});
  const Screenshot split(desktop.display());
  EXPECT_EQ(split.count(Seen::Black, Box{512, 0, 512, 768}), 512 * 768) << "the second monitor is not black";
  // A click on the black monitor ends the show like any other.
  Xdotool(desktop.display(), {"mousemove", "800", "400", "click", "1"});
  EXPECT_EQ(show.waitForExit(10s), 0);
  EXPECT_FALSE(show.windowVisible());

  // The next show starts as usual.
  ShowRun next(desktop.display());
  next.settings("Picdis=1\nSound=0", {SolidClip("red", 320, 240, 60.0)});
  next.start();
  expectRedPanel(desktop.display(), Box{0, 0, 512, 768});
  Xdotool(desktop.display(), {"key", "space"});
  EXPECT_EQ(next.waitForExit(10s), 0);
}

}  // namespace
}  // namespace quorrel::test
