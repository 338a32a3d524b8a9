// The playback cycle of the real program, seen on the screen: which video
// plays, in which order, and where the panel is.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// The plays seen: each colour that appeared, black gaps left out.
std::vector<Seen> plays(const std::vector<Seen>& seen) {
  std::vector<Seen> result;
  for (const Seen colour : seen) {
    if (colour != Seen::Black) result.push_back(colour);
  }
  return result;
}

std::string describe(const std::vector<Seen>& seen) {
  std::string text;
  for (const Seen colour : seen) text += std::string(Name(colour)) + " ";
  return text;
}

void endShow(ShowRun& show) {
  Xdotool(show.display(), {"key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

// A one-second H.264 clip of one colour: the codec for which libmpv looks
// for a hardware decoder.
std::string H264Clip(const std::string& colour) {
  return MakeClip({.pattern = colour, .seconds = 1.0, .container = Container::Mp4});
}

TEST(PlaybackOnScreen, sequenceOrderPlaysOneTwoThreeThenOneAgain) {
  ShowRun show;
  show.settings("Picdis=1\nPicord=2\nSound=0", {H264Clip("red"), H264Clip("lime"), H264Clip("blue")});
  show.start();
  const std::vector<Seen> seen = WatchColours(show.display(), 512, 384, 20s, [](const std::vector<Seen>& s) {
    return plays(s).size() >= 4;
  });
  EXPECT_EQ(plays(seen), (std::vector<Seen>{Seen::Red, Seen::Green, Seen::Blue, Seen::Red})) << describe(seen);
  endShow(show);
  // A show that goes well leaves nothing in a host's log or the journal,
  // however many videos it starts: the libraries' probes for hardware
  // decoders included.
  EXPECT_EQ(show.standardError(), "");
}

TEST(PlaybackOnScreen, randomOrderCoversEveryClipAndCanRepeatOne) {
  ShowRun show;
  show.settings("Picdis=1\nPicord=1\nSound=0", {FlashClip("red", 0.6), FlashClip("blue", 0.6)});
  show.start();
  const auto coveredAndRepeated = [](const std::vector<Seen>& s) {
    const std::vector<Seen> p = plays(s);
    const bool both = std::count(p.begin(), p.end(), Seen::Red) > 0 && std::count(p.begin(), p.end(), Seen::Blue) > 0;
    return both && std::adjacent_find(p.begin(), p.end()) != p.end();
  };
  // Each pick is a coin toss here, so 40 seconds of picks leave only a
  // vanishing chance of never seeing both clips and one repeat.
  const std::vector<Seen> seen = WatchColours(show.display(), 512, 384, 40s, coveredAndRepeated);
  EXPECT_TRUE(coveredAndRepeated(seen)) << describe(seen);
  endShow(show);
}

TEST(PlaybackOnScreen, aSingleClipPlaysAgainAndAgain) {
  ShowRun show;
  show.settings("Picdis=1\nPicord=2\nSound=0", {FlashClip("lime", 0.6)});
  show.start();
  const std::vector<Seen> seen = WatchColours(show.display(), 512, 384, 15s, [](const std::vector<Seen>& s) {
    return plays(s).size() >= 3;
  });
  EXPECT_EQ(plays(seen), (std::vector<Seen>{Seen::Green, Seen::Green, Seen::Green})) << describe(seen);
  endShow(show);
}

// Starts a show of one long red clip in `options` and returns where the red
// shows on the screen.
Box redPanel(const std::string& options, const std::string& display = ShowRun::DefaultDisplay()) {
  ShowRun show(display);
  show.settings(options, {SolidClip("red", 320, 240, 20.0)});
  show.start();
  Box seen;
  WaitUntil([&] { return (seen = Screenshot(display).boundsOf(Seen::Red)).width > 0; }, 10s);
  // The video's first frame may land a moment after the panel moved.
  SleepFor(300ms);
  seen = Screenshot(display).boundsOf(Seen::Red);
  endShow(show);
  return seen;
}

TEST(PanelOnScreen, eachSizeModeOnA1024By768Screen) {
  EXPECT_EQ(redPanel("Picdis=1"), (Box{0, 0, 1024, 768}));
  EXPECT_EQ(redPanel("Picdis=2"), (Box{256, 192, 512, 384}));
  EXPECT_EQ(redPanel("Picdis=3"), (Box{384, 288, 256, 192}));
  EXPECT_EQ(redPanel("Picdis=4\nWidth=100\nHeight=100"), (Box{462, 334, 100, 100}));
}

TEST(PanelOnScreen, naturalSizeMovesAndResizesForEachClip) {
  ShowRun show;
  // The green clip is a phone's upright video: stored 320 by 240, shown a
  // quarter turn round.
  const std::string upright = MakeClip(
      {.pattern = "lime", .width = 320, .height = 240, .seconds = 1.5, .container = Container::Mp4, .rotation = 90});
  show.settings("Picdis=5\nPicord=2\nSound=0\nWidth=100\nHeight=100",
                {SolidClip("red", 320, 240, 1.5), upright, SolidClip("blue", 160, 120, 20.0)});
  show.start();
  Box red;
  ASSERT_TRUE(WaitUntil([&] { return (red = Screenshot(show.display()).boundsOf(Seen::Red)).width > 0; }, 10s));
  EXPECT_EQ(red, (Box{352, 264, 320, 240}));
  Box green;
  ASSERT_TRUE(WaitUntil([&] { return (green = Screenshot(show.display()).boundsOf(Seen::Green)).width > 0; }, 10s));
  SleepFor(300ms);
  EXPECT_EQ(Screenshot(show.display()).boundsOf(Seen::Green), (Box{392, 224, 240, 320}));
  Box blue;
  ASSERT_TRUE(WaitUntil([&] { return (blue = Screenshot(show.display()).boundsOf(Seen::Blue)).width > 0; }, 10s));
  SleepFor(300ms);
  const Screenshot after(show.display());
  EXPECT_EQ(after.boundsOf(Seen::Blue), (Box{432, 324, 160, 120}));
  // The old panel's place is black again, not a leftover of another clip.
  EXPECT_EQ(after.boundsOf(Seen::Red), Box{});
  EXPECT_EQ(after.boundsOf(Seen::Green), Box{});
  endShow(show);
}

TEST(PanelOnScreen, smallPanelOnA1366By768ScreenRoundsHalvesToEven) {
  OwnXvfb wide(1366, 768);
  EXPECT_EQ(redPanel("Picdis=3", wide.display()), (Box{512, 288, 342, 192}));
  EXPECT_EQ(redPanel("Picdis=1", wide.display()), (Box{0, 0, 1366, 768}));
}

}  // namespace
}  // namespace quorrel::test
