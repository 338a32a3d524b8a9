// The real show on a desktop whose monitors change: none active when it
// starts, one switched on while it runs, then split into two; and on two
// monitors with "Play videos on every monitor" off and on.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// Waits until the panel of that colour stands at `expected`; fails with
// where it is.
void expectPanel(const std::string& display, Seen colour, const Box& expected) {
  Box seen;
  const bool there = WaitUntil([&] { return (seen = Screenshot(display).boundsOf(colour)) == expected; }, 10s);
  EXPECT_TRUE(there) << Name(colour) << " panel at " << seen << ", expected " << expected;
}

void expectRedPanel(const std::string& display, const Box& expected) { expectPanel(display, Seen::Red, expected); }

// A clip of one colour with a tone, long enough to outlast a test step.
std::string SoundClip(const std::string& colour) {
  return MakeClip(ClipOptions{colour, 320, 240, 20.0, Container::Avi, true});
}

// Two monitors of different sizes side by side: the primary 1280 x 1024 on
// the left, a 1024 x 768 one on its right.
void TwoMonitors(const std::string& display) {
  Xrandr(display, {"--setmonitor", "*left", "1280/338x1024/270+0+0", "screen"});
  Xrandr(display, {"--setmonitor", "right", "1024/270x768/203+1280+0", "none"});
}
constexpr Box kRightMonitor{1280, 0, 1024, 768};

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

TEST(EveryMonitor, offTheSecondMonitorIsBlackOnEachPlaysItsOwnVideoAndOnlyThePrimaryIsHeard) {
  OwnXvfb desktop(2304, 1024);
  TwoMonitors(desktop.display());
  const std::string red = SoundClip("red");
  const std::string green = SoundClip("lime");
  {
    // Off (the key missing, as in every older settings file): the show of
    // one monitor, the other covered black.
    ShowRun show(desktop.display());
    show.settings("Picdis=2\nSound=0", {red, green});
    show.start();
    expectRedPanel(desktop.display(), Box{320, 256, 640, 512});
    const Screenshot screen(desktop.display());
    EXPECT_EQ(screen.count(Seen::Black, kRightMonitor), 1024 * 768) << "the second monitor is not black";
    EXPECT_TRUE(WaitUntil([&] { return SoundStreamsOf(show.pid()).size() == 1; }, 10s));
    Xdotool(desktop.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
  }
  ShowRun show(desktop.display());
  show.settings("Picdis=2\nSound=0\nAllscreens=1", {red, green});
  show.start();
  // In sequence the second monitor starts at the second video; each panel
  // is half of its own monitor, centred on it.
  expectRedPanel(desktop.display(), Box{320, 256, 640, 512});
  expectPanel(desktop.display(), Seen::Green, Box{1280 + 256, 192, 512, 384});
  const Screenshot screen(desktop.display());
  EXPECT_EQ(screen.count(Seen::Black, Box{1280, 0, 256, 768}), 256 * 768);
  // Both clips have sound; only the primary's player opens a stream.
  EXPECT_TRUE(WaitUntil([&] { return !SoundStreamsOf(show.pid()).empty(); }, 10s));
  EXPECT_EQ(WatchSoundStreams(show.pid(), 2s).size(), 1U);
  // A key with the pointer on the second monitor ends the show, on both.
  Xdotool(desktop.display(), {"mousemove", "1800", "400", "key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
  EXPECT_FALSE(show.windowVisible());
  const Screenshot after(desktop.display());
  EXPECT_EQ(after.boundsOf(Seen::Green), Box{});
  EXPECT_EQ(after.boundsOf(Seen::Red), Box{});
}

TEST(EveryMonitor, aMonitorRemovedMidShowStopsPlayingAndOneAddedStartsItsOwnCycle) {
  OwnXvfb desktop(2304, 1024);
  TwoMonitors(desktop.display());
  ShowRun show(desktop.display());
  show.settings("Picdis=1\nSound=0\nAllscreens=1",
                {SolidClip("red", 320, 240, 60.0), SolidClip("lime", 320, 240, 60.0),
                 SolidClip("blue", 320, 240, 60.0)});
  show.start();
  expectRedPanel(desktop.display(), Box{0, 0, 1280, 1024});
  expectPanel(desktop.display(), Seen::Green, kRightMonitor);

  // Unplugged: its picture goes, the primary plays on.
  Xrandr(desktop.display(), {"--delmonitor", "right"});
  expectPanel(desktop.display(), Seen::Green, Box{});
  EXPECT_TRUE(show.running());
  expectRedPanel(desktop.display(), Box{0, 0, 1280, 1024});

  // Plugged in again, below the primary and narrower: a new cycle starts
  // there, as monitor 1 at the second video, full screen on it.
  Xrandr(desktop.display(), {"--setmonitor", "lower", "800/211x600/158+1280+400", "none"});
  expectPanel(desktop.display(), Seen::Green, Box{1280, 400, 800, 600});
  expectRedPanel(desktop.display(), Box{0, 0, 1280, 1024});

  // A click on it ends the show.
  Xdotool(desktop.display(), {"mousemove", "1600", "700", "click", "1"});
  EXPECT_EQ(show.waitForExit(10s), 0);
  expectPanel(desktop.display(), Seen::Green, Box{});
}

// Samples the middle of a box on the screen for `duration`; the colours
// seen there, runs of one colour merged.
std::vector<Seen> coloursAt(const std::string& display, const Box& box, std::chrono::milliseconds duration) {
  return WatchColours(display, box.left + box.width / 2, box.top + box.height / 2, duration,
                      [](const std::vector<Seen>&) { return false; });
}

TEST(EveryMonitor, aMirrorOfThePrimaryOrTheWholeScreenLeftWhenThePrimaryGoesNeverHidesTheShow) {
  for (const char* everyMonitor : {"0", "1"}) {
    SCOPED_TRACE(everyMonitor);
    OwnXvfb desktop(2304, 1024);
    TwoMonitors(desktop.display());
    ShowRun show(desktop.display());
    show.settings(std::string("Picdis=2\nSound=0\nAllscreens=") + everyMonitor,
                  {SolidClip("red", 320, 240, 60.0), SolidClip("lime", 320, 240, 60.0),
                   SolidClip("blue", 320, 240, 60.0)});
    show.start();
    const Box primaryPanel{320, 256, 640, 512};
    expectRedPanel(desktop.display(), primaryPanel);

    // A projector cloning the primary is plugged in: it shows what the
    // primary shows, with no cover or video of its own stacked over it.
    Xrandr(desktop.display(), {"--setmonitor", "projector", "1280/338x1024/270+0+0", "none"});
    const std::vector<Seen> seen = coloursAt(desktop.display(), primaryPanel, 3s);
    EXPECT_EQ(seen, std::vector<Seen>{Seen::Red}) << "the primary's video was hidden";
    expectRedPanel(desktop.display(), primaryPanel);

    // The primary goes; the X screen's own monitor, which covers the whole
    // screen, comes back beside the right one, which becomes the primary.
    // The show moves there and stays above the new monitor's window.
    Xrandr(desktop.display(), {"--delmonitor", "projector"});
    Xrandr(desktop.display(), {"--delmonitor", "left"});
    const Box rightPanel{1280 + 256, 192, 512, 384};
    expectRedPanel(desktop.display(), rightPanel);
    EXPECT_EQ(coloursAt(desktop.display(), rightPanel, 2s), std::vector<Seen>{Seen::Red});
    Xdotool(desktop.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
  }
}

TEST(Monitors, anErrorBoxDuringTheShowOpensCentredOnThePrimaryWhereverThePointerIs) {
  OwnXvfb desktop(2304, 1024);
  TwoMonitors(desktop.display());
  Xdotool(desktop.display(), {"mousemove", "1800", "400"});
  ShowRun show(desktop.display());
  show.settings("Starton=1\nPicdis=1", {SolidClip("red", 320, 240, 60.0)});
  // No sound server answers, so the start mute fails with a box.
  show.start({{"PULSE_SERVER", "unix:" + show.file("no-such-socket")}});
  ASSERT_TRUE(WaitUntil([&] { return FocusedWindowNamed(desktop.display(), "Quorrel"); }, 10s));
  const ProcessResult place = RunProcess(
      {"env", "DISPLAY=" + desktop.display(), "xdotool", "getwindowfocus", "getwindowgeometry", "--shell"}, 10s);
  std::map<std::string, int> geometry;
  std::istringstream lines(place.output);
  for (std::string line; std::getline(lines, line);) {
    if (const auto equals = line.find('='); equals != std::string::npos) {
      geometry[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
    }
  }
  ASSERT_GT(geometry["WIDTH"], 0) << place.output;
  // Centred on the primary monitor, 1280 x 1024 at the left, give or take
  // the window frame that Qt allows for (the other monitor's middle is
  // more than 1000 pixels away).
  EXPECT_NEAR(geometry["X"] + geometry["WIDTH"] / 2, 640, 50) << place.output;
  EXPECT_NEAR(geometry["Y"] + geometry["HEIGHT"] / 2, 512, 50) << place.output;
  Xdotool(desktop.display(), {"key", "Return"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

}  // namespace
}  // namespace quorrel::test
