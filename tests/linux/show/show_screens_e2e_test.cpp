// The real show's message screens, its error message for a corrupt video,
// and its background sound, seen on the screen and heard on the sink.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <string>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// The label's place on the message screen.
constexpr Box kLabel{61, 47, 500, 106};

void endShow(ShowRun& show) {
  Xdotool(show.display(), {"key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(MessageScreen, aFirstShowWithoutSettingsIsWhiteWithTheLabelText) {
  ShowRun show;
  show.start();
  const Screenshot screen(show.display());
  EXPECT_EQ(Classify(screen.at(5, 5)), Seen::White);
  EXPECT_EQ(Classify(screen.at(800, 600)), Seen::White);
  const int textPixels = screen.count(Seen::Black, kLabel);
  EXPECT_GT(textPixels, 500);
  // Nothing is drawn outside the label.
  EXPECT_EQ(screen.count(Seen::Black, Box{0, 200, 1024, 568}), 0);
  EXPECT_EQ(screen.count(Seen::Black, Box{600, 0, 424, 200}), 0);
  endShow(show);
  // The first show wrote the default settings file.
  EXPECT_NE(ReadFile(show.file("Quorrel/quorrel4.ini")).find("[vidConfig]"), std::string::npos);
}

TEST(MessageScreen, aVanishedVideoShowsALongerTextOnWhite) {
  // The label's third line, which the initial text does not reach.
  const Box thirdLine{61, 86, 500, 20};
  {
    ShowRun show;
    show.settings("Sound=0", {});
    show.start();
    EXPECT_EQ(Screenshot(show.display()).count(Seen::Black, thirdLine), 0);
    endShow(show);
  }
  ShowRun show;
  show.settings("Sound=0", {SolidClip("red", 320, 240, 1.0), "/nonexistent/folder/deleted-video.avi"});
  show.start();
  const Screenshot screen(show.display());
  EXPECT_EQ(Classify(screen.at(5, 5)), Seen::White);
  EXPECT_EQ(screen.boundsOf(Seen::Red), Box{});
  // The missing-file text with its path takes three lines.
  EXPECT_GT(screen.count(Seen::Black, thirdLine), 100);
  EXPECT_EQ(screen.count(Seen::Black, Box{0, 160, 1024, 608}), 0);
  endShow(show);
}

TEST(CorruptVideo, reachedOnATickItShowsTheErrorThenNoVideoAndNoSound) {
  ShowRun show;
  const std::string corrupt = show.file("corrupt.avi");
  WriteFile(corrupt, std::string(20000, '\x5a'));
  show.settings("Picdis=1\nPicord=2\nSound=1\nRepeat=1", {SolidClip("red", 320, 240, 1.0), corrupt}, MakeWav(0.3, 880));
  show.start();
  ASSERT_TRUE(WaitUntil([&] { return WindowNamed(show.display(), "Error"); }, 15s));
  // No sound starts again, and what was playing has been stopped.
  const std::map<int, bool> atError = SoundStreamsOf(show.pid());
  const std::set<int> later = WatchSoundStreams(show.pid(), 2500ms);
  for (const int stream : later) EXPECT_TRUE(atError.count(stream) == 1) << "a sound started after the error";
  for (const auto& [stream, playing] : SoundStreamsOf(show.pid())) EXPECT_FALSE(playing) << stream;
  const Screenshot screen(show.display());
  EXPECT_EQ(Classify(screen.at(5, 5)), Seen::Black);
  EXPECT_TRUE(show.running());
  // The key that dismisses the message ends the show too.
  Xdotool(show.display(), {"key", "Return"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(BackgroundSound, aSoundThatCannotStartAgainIsReportedOnceWhileVideosGoOn) {
  ShowRun show;
  const std::string sound = show.file("tone.wav");
  WriteFile(sound, ReadFile(MakeWav(0.3, 440)));
  show.settings("Picdis=1\nPicord=2\nSound=1\nRepeat=1", {FlashClip("red", 0.6), FlashClip("blue", 0.6)}, sound);
  show.start();
  // The file turns bad after its first play, so the restart fails.
  WriteFile(sound, std::string(4000, '\x11'));
  ASSERT_TRUE(WaitUntil([&] { return WindowNamed(show.display(), "Error"); }, 10s));
  // Behind the open message the videos keep changing.
  const std::vector<Seen> seen = WatchColours(show.display(), 40, 40, 8s, [](const std::vector<Seen>& s) {
    return std::count(s.begin(), s.end(), Seen::Red) >= 2 && std::count(s.begin(), s.end(), Seen::Blue) >= 2;
  });
  EXPECT_GE(std::count(seen.begin(), seen.end(), Seen::Red), 2);
  EXPECT_GE(std::count(seen.begin(), seen.end(), Seen::Blue), 2);
  const ProcessResult boxes = RunProcess(
      {"env", "DISPLAY=" + show.display(), "xdotool", "search", "--onlyvisible", "--name", "^Error$"});
  EXPECT_EQ(std::count(boxes.output.begin(), boxes.output.end(), '\n'), 1) << boxes.output;
  Xdotool(show.display(), {"key", "Return"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(BackgroundSound, repeatsWhenAskedAndPlaysOnceOtherwise) {
  for (const bool repeat : {true, false}) {
    SCOPED_TRACE(repeat ? "repeat on" : "repeat off");
    ShowRun show;
    show.settings(std::string("Picdis=3\nSound=1\nRepeat=") + (repeat ? "1" : "0"),
                  {SolidClip("blue", 320, 240, 30.0)}, MakeWav(0.5, 660));
    show.start();
    // With repeat, a new stream at least every two seconds or so: three
    // are enough, however slowly a busy machine gets there. Without, one
    // stream and no other for as long.
    const std::set<int> starts = WatchSoundStreams(show.pid(), repeat ? 12s : 4500ms, 3);
    if (repeat) {
      EXPECT_GE(starts.size(), 3U);
    } else {
      EXPECT_EQ(starts.size(), 1U);
    }
    endShow(show);
  }
}

TEST(BackgroundSound, onTheMessageScreenItPlaysOnceEvenWithRepeat) {
  ShowRun show;
  show.settings("Sound=1\nRepeat=1", {}, MakeWav(0.3, 660));
  show.start();
  EXPECT_EQ(WatchSoundStreams(show.pid(), 3000ms).size(), 1U);
  endShow(show);
}

}  // namespace
}  // namespace quorrel::test
