#include "tests/linux/desktops/idle_scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <sstream>

#include "tests/linux/desktops/idle_watcher.h"
#include "tests/support/test_media.h"

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;

// The watcher's wait, as `quorrel --idle 3` gives it.
constexpr int kIdleSeconds = 3;
// How long after the last input a show may take to be on screen: the wait,
// then a process, a window and a first frame on a loaded machine.
constexpr std::chrono::seconds kShowWithin{kIdleSeconds + 20};
// How long no show may start while an inhibitor is held: the wait, and
// time enough for a show to have appeared after it.
constexpr std::chrono::seconds kInhibitedFor{kIdleSeconds + 5};

// A settings file with one red clip played at full-screen size, no sound,
// so that the share of red on the output tells how much the show covers.
void writeRedShowSettings(const std::string& configHome) {
  ClipOptions clip;
  clip.pattern = "red";
  clip.width = kOutputWidth;
  clip.height = kOutputHeight;
  clip.seconds = 20;
  clip.frameRate = 10;
  clip.container = Container::Mp4;
  // "Picdis" 1: the video at the full size of the screen.
  WriteSettings(configHome, "Sound=0\nPicdis=1", {MakeClip(clip)});
}

double redShare(const Screenshot& screen) {
  const Box all{0, 0, screen.width(), screen.height()};
  const double pixels = static_cast<double>(screen.width()) * screen.height();
  return pixels > 0 ? screen.count(Seen::Red, all) / pixels : 0.0;
}

int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The lines the watcher itself writes, as against those of the shows it
// started, which share its standard error.
int watcherLineCount(const std::string& text) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("quorrel: idle watcher")) ++count;
  }
  return count;
}

}  // namespace

void RunIdleScenario(IdleDesktop& session, const std::string& idleSource) {
  NamespacedDesktop& desktop = session.desktop();
  writeRedShowSettings(desktop.home());
  EXPECT_LT(redShare(session.screenshot()), 0.01) << "the desktop is red before any show";
  ASSERT_FALSE(session.inhibitionReported()) << "an inhibition before anyone asked for one";

  // The user is at the desktop when the watcher starts.
  session.pressSpace();
  IdleWatcher watcher(desktop, kIdleSeconds);
  const std::string startLine = watcher.waitForStartLine(10s);
  EXPECT_TRUE(startLine.starts_with("quorrel: ")) << startLine;
  EXPECT_NE(startLine.find("(" + idleSource + ")"), std::string::npos) << startLine;
  ASSERT_TRUE(watcher.running()) << watcher.state();

  // The user's last input; the show comes the watcher's wait after it.
  session.pressSpace();
  const auto lastInput = std::chrono::steady_clock::now();
  const std::optional<pid_t> show = watcher.waitForShow(kShowWithin);
  ASSERT_TRUE(show) << "no show after " << kIdleSeconds << " s idle\n" << watcher.standardError() << desktop.logTail();
  EXPECT_GE(std::chrono::steady_clock::now() - lastInput, std::chrono::seconds(kIdleSeconds))
      << "the show came before the wait was over";
  EXPECT_EQ(lineCount(watcher.standardError()), 1) << "written while it waited:\n" << watcher.standardError();

  // The show's window covers the output, panels and bars included, and
  // the video fills it.
  double red = 0;
  EXPECT_TRUE(WaitUntil([&] { return (red = redShare(session.screenshot())) >= 0.99; }, 15s))
      << "the show's red covers " << red * 100 << " % of the output";

  // A browser starts a video, the user comes back and leaves again: no
  // show while the inhibition holds.
  auto inhibition = session.inhibit();
  ASSERT_TRUE(WaitUntil([&] { return session.inhibitionReported(); }, 15s)) << "the desktop took no inhibition";
  session.pressSpace();
  if (!watcher.waitUntilShowEnded(10s)) {
    ADD_FAILURE() << "a key did not end the show";
    watcher.killShows();
  }
  EXPECT_FALSE(WaitUntil([&] { return watcher.showRuns(); }, kInhibitedFor))
      << "the show started while an inhibition was held";

  // The video ends, the user comes back and leaves again: the show comes
  // after the wait.
  inhibition.reset();
  ASSERT_TRUE(WaitUntil([&] { return !session.inhibitionReported(); }, 15s)) << "the inhibition outlived its client";
  session.pressSpace();
  EXPECT_TRUE(watcher.waitForShow(kShowWithin)) << "no show after the inhibition ended\n" << watcher.standardError();
  if (session.lock()) {
    // The user comes back to the lock screen, not to a video above it.
    ASSERT_TRUE(WaitUntil([&] { return session.locked(); }, 10s)) << "the session did not lock";
    if (!watcher.waitUntilShowEnded(10s)) {
      ADD_FAILURE() << "the lock screen did not end the show";
      watcher.killShows();
    }
    session.pressSpace();
    EXPECT_FALSE(WaitUntil([&] { return watcher.showRuns(); }, kInhibitedFor))
        << "the show started while the session was locked";
  } else {
    session.pressSpace();
    EXPECT_TRUE(watcher.waitUntilShowEnded(10s)) << "a key did not end the second show";
  }

  EXPECT_TRUE(watcher.running()) << watcher.state();
  EXPECT_EQ(watcherLineCount(watcher.standardError()), 1) << watcher.standardError();
}

}  // namespace quorrel::test
