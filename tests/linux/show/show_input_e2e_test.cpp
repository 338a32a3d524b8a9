// Ending the real show by input, the mute choices at its start and end,
// the refusal of a second start, and being stopped by a signal.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// A show that plays one long clip full screen, so that every click lands on
// the video itself.
void startPlaying(ShowRun& show, const std::string& options = "") {
  show.settings("Picdis=1\nSound=0\n" + options, {SolidClip("red", 320, 240, 30.0)});
  show.start();
  ASSERT_TRUE(WaitUntil([&] { return Classify(PixelAt(show.display(), 512, 384)) == Seen::Red; }, 10s));
}

TEST(EndingByInput, aKeyEndsTheShowWithStatusZero) {
  ShowRun show;
  startPlaying(show);
  Xdotool(show.display(), {"key", "a"});
  EXPECT_EQ(show.waitForExit(10s), 0);
  EXPECT_FALSE(show.windowVisible());
}

TEST(EndingByInput, movingTheMouseFarDoesNotEndTheShow) {
  ShowRun show;
  startPlaying(show);
  Xdotool(show.display(), {"mousemove", "10", "10"});
  Xdotool(show.display(), {"mousemove", "510", "10"});
  Xdotool(show.display(), {"mousemove", "10", "510"});
  Xdotool(show.display(), {"mousemove_relative", "--", "500", "-500"});
  EXPECT_FALSE(show.waitForExit(1500ms).has_value());
  EXPECT_TRUE(show.windowVisible());
  Xdotool(show.display(), {"key", "Escape"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(EndingByInput, leftRightAndMiddleButtonsEachEndTheShow) {
  for (const char* button : {"1", "3", "2"}) {
    ShowRun show;
    startPlaying(show);
    Xdotool(show.display(), {"mousemove", "500", "400", "click", button});
    EXPECT_EQ(show.waitForExit(10s), 0) << "button " << button;
  }
}

TEST(EndingByInput, releasingAKeyHeldSinceBeforeTheStartEndsTheShow) {
  ShowRun show;
  Xdotool(show.display(), {"keydown", "Shift_L"});
  startPlaying(show);
  const bool stillRunning = !show.waitForExit(1000ms).has_value();
  Xdotool(show.display(), {"keyup", "Shift_L"});
  EXPECT_TRUE(stillRunning);
  EXPECT_EQ(show.waitForExit(10s), 0);
}

struct MuteCase {
  const char* options;
  bool before;
  bool afterStart;
  bool afterEnd;
};

TEST(MuteChoices, startAndEndChoicesReachTheSoundServer) {
  const MuteCase cases[] = {
      {"Starton=1\nEndon=0", true, false, true},   // un-mute at the start, mute at the end
      {"Starton=0\nEndon=1", false, true, false},  // mute at the start, un-mute at the end
      {"", true, true, true},                      // absent: left alone
      {"Starton=2\nEndon=2", false, false, false},  // any other value: left alone
  };
  for (const MuteCase& c : cases) {
    SCOPED_TRACE(c.options);
    SetSinkMute(c.before);
    ShowRun show;
    show.settings(std::string("Sound=0\n") + c.options, {});
    show.start();
    EXPECT_EQ(SinkMuted(), c.afterStart);
    Xdotool(show.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
    EXPECT_EQ(SinkMuted(), c.afterEnd);
  }
  SetSinkMute(false);
}

TEST(MuteChoices, aSoundServerThatDiesOrFreezesLeavesTheEndReportAnsweringTheKeyboard) {
  for (const int failure : {SIGKILL, SIGSTOP}) {
    OwnPulse pulse;
    ShowRun show;
    show.settings("Endon=0\nPicdis=1\nSound=0", {SolidClip("red", 320, 240, 30.0)});
    show.start({{"PULSE_SERVER", pulse.server()}});
    ASSERT_TRUE(WaitUntil([&] { return Classify(PixelAt(show.display(), 512, 384)) == Seen::Red; }, 10s));
    pulse.signal(failure);
    // The key ends the show; the mute at its end fails and is reported in
    // a box, which must take Return although the show held the keyboard.
    Xdotool(show.display(), {"key", "a"});
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindowNamed(show.display(), "Quorrel"); }, 10s)) << failure;
    EXPECT_TRUE(show.running());
    Xdotool(show.display(), {"key", "Return"});
    EXPECT_EQ(show.waitForExit(10s), 0) << "Return did not close the report, signal " << failure;
  }
}

TEST(MuteChoices, aMuteThatFailsAtStartIsReportedAndInputStillEndsTheShow) {
  ShowRun show;
  show.settings("Starton=1\nPicdis=1", {SolidClip("red", 320, 240, 30.0)});
  // No sound server answers there, so the mute cannot be set.
  show.start({{"PULSE_SERVER", "unix:" + show.file("no-such-socket")}});
  ASSERT_TRUE(WaitUntil([&] { return WindowNamed(show.display(), "Quorrel"); }, 10s));
  Xdotool(show.display(), {"key", "Return"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(MuteChoices, aFailedMuteSkipsVideoAndSoundButLeavesABlackShow) {
  ShowRun show;
  show.settings("Starton=0\nPicdis=1", {SolidClip("red", 320, 240, 30.0)});
  show.start({{"PULSE_SERVER", "unix:" + show.file("no-such-socket")}});
  ASSERT_TRUE(WaitUntil([&] { return WindowNamed(show.display(), "Quorrel"); }, 10s));
  // No video started behind the report box: a full-screen red clip would
  // show all around it.
  SleepFor(1500ms);
  const Screenshot screen(show.display());
  for (const auto& [x, y] : {std::pair{5, 5}, std::pair{1000, 20}, std::pair{20, 740}, std::pair{1000, 740}}) {
    EXPECT_NE(Classify(screen.at(x, y)), Seen::Red) << x << ", " << y;
  }
  Xdotool(show.display(), {"key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(MuteChoices, aHostedShowWhoseStartMuteFailsSaysSoOnStandardErrorAndPlaysAllTheSame) {
  // No sound server answers, as on a system with ALSA alone: the mute at
  // the start fails. With nobody in front of a host's module to read a
  // box, the failure is logged and the videos play.
  TempDir nowhere;
  OwnDesktopStart noSoundServer;
  noSoundServer.soundServer = "unix:" + nowhere.file("no-such-socket");
  OwnDesktopShow hosted("--root", "Starton=0\nPicdis=1\nSound=0", noSoundServer);
  EXPECT_TRUE(hosted.playsRed()) << hosted.standardError();
  EXPECT_NE(hosted.standardError().find("quorrel: Volume setting error... error is #"), std::string::npos)
      << hosted.standardError();
  hosted.process().signal(SIGTERM);
  EXPECT_EQ(hosted.process().waitFor(10s), 128 + SIGTERM);
}

// A logout takes the X server away under a running show: the end steps
// run all the same (here the sound comes back on), and the process ends
// with 0 rather than with an error or a crash.
TEST(LostDisplay, theShowAndAHostedShowApplyTheEndMuteAndEndQuietly) {
  for (const char* argument : {"/S", "--root", "/S", "--root"}) {
    SCOPED_TRACE(argument);
    OwnDesktopShow show(argument, "Starton=0\nEndon=1\nPicdis=1\nSound=1\nRepeat=1");
    ASSERT_TRUE(show.playsRed()) << show.standardError();
    EXPECT_EQ(show.sinkMuted(), true);
    show.x().stop();
    EXPECT_EQ(show.process().waitFor(20s), 0) << show.standardError();
    EXPECT_EQ(show.sinkMuted(), false) << show.standardError();
  }
}

TEST(SingleShow, aSecondStartExitsAtOnceWhileTheShowRuns) {
  ShowRun show;
  startPlaying(show);
  for (const char* argument : {"/C", "/S", "/c:1234"}) {
    const auto started = std::chrono::steady_clock::now();
    const ProcessResult second = RunProcess({QUORREL_EXECUTABLE, argument}, 20s);
    EXPECT_EQ(second.exitStatus, 0) << argument;
    EXPECT_FALSE(second.timedOut) << argument;
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s) << argument;
  }
  EXPECT_TRUE(show.running());
  Xdotool(show.display(), {"key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

// The show windows on screen now.
int showWindowsOnScreen(const std::string& display) {
  const ProcessResult search = RunProcess(
      {"env", "DISPLAY=" + display, "xdotool", "search", "--onlyvisible", "--name", "^FrmQuorrel33$"}, 10s);
  return static_cast<int>(std::count(search.output.begin(), search.output.end(), '\n'));
}

TEST(SingleShow, twoShowsStartedAtTheSameInstantGiveOneShow) {
  const std::string display = ShowRun::DefaultDisplay();
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    TempDir home;
    const std::map<std::string, std::string> environment = {
        {"HOME", home.path()}, {"XDG_CONFIG_HOME", home.path()}, {"DISPLAY", display}};
    ChildProcess first({QUORREL_EXECUTABLE, "/S"}, environment);
    ChildProcess second({QUORREL_EXECUTABLE, "/S"}, environment);
    // One of them gives way at once, with 0; the other one shows.
    ASSERT_TRUE(WaitUntil([&] { return !first.running() || !second.running(); }, 15s)) << "both shows run";
    ChildProcess& gone = first.running() ? second : first;
    ChildProcess& shows = first.running() ? first : second;
    EXPECT_EQ(gone.waitFor(0ms), 0);
    ASSERT_TRUE(WaitUntil([&] { return showWindowsOnScreen(display) > 0; }, 20s));
    EXPECT_EQ(showWindowsOnScreen(display), 1);
    // One key ends it, and nothing is left on screen.
    Xdotool(display, {"key", "space"});
    EXPECT_EQ(shows.waitFor(10s), 0);
    EXPECT_EQ(showWindowsOnScreen(display), 0);
  }
}

TEST(SingleShow, aStopSignalEndsTheShowWithTheEndSteps) {
  for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
    SetSinkMute(false);
    ShowRun show;
    startPlaying(show, "Endon=0");
    show.signal(signalNumber);
    EXPECT_EQ(show.waitForExit(10s), 0) << signalNumber;
    EXPECT_FALSE(show.windowVisible());
    // An idle tool that stops the show gets the end the user chose, as a
    // key would: here the system muted.
    EXPECT_EQ(SinkMuted(), true) << signalNumber;
  }
  SetSinkMute(false);
}

}  // namespace
}  // namespace quorrel::test
