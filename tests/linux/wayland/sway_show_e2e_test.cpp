// The real show on a Wayland desktop through XWayland: a headless sway
// starts it from its own exec and from swayidle, above an ordinary
// terminal window, and a key on the compositor's own virtual keyboard ends
// it. A headless sway without input devices has no pointer, so neither a
// mouse button nor the hidden cursor can be seen here; the X11 tests cover
// both.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <iostream>
#include <optional>
#include <string>

#include "tests/linux/show/show_desktop.h"
#include "tests/linux/wayland/sway_session.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr Box kOutput{0, 0, kWidth, kHeight};
// The label's place on the message screen.
constexpr Box kLabel{61, 47, 500, 106};

std::string showCommand(SwaySession& sway) { return sway.reachable(QUORREL_EXECUTABLE) + " /S"; }

// Whether sway shows the window full screen over the whole output, with
// the keyboard focus.
bool coversOutput(const SwayView& view) { return view.fullScreen && view.focused && view.rect == kOutput; }

// How many pixels of the output are not white, the label's text left out.
int pixelsNotWhiteBesideLabel(const Screenshot& screen) {
  const int white = screen.count(Seen::White, kOutput) - screen.count(Seen::White, kLabel);
  return kWidth * kHeight - kLabel.width * kLabel.height - white;
}

// Opens a terminal and waits until it has the focus, as a user's window
// would when an idle tool starts the show.
void openTerminal(SwaySession& sway) {
  sway.exec("foot");
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto foot = FindView(sway.views(), "foot");
        return foot && foot->focused;
      },
      15s))
      << sway.logTail();
}

void closeTerminal(SwaySession& sway) {
  sway.command("[app_id=foot] kill");
  EXPECT_TRUE(WaitUntil([&] { return !FindView(sway.views(), "foot"); }, 10s));
}

// Waits for the show's window, then until sway has it full screen and
// focused; a window mapped as an ordinary tiled one stays that way, so
// the second wait is short.
std::optional<SwayView> waitForShow(SwaySession& sway, std::chrono::milliseconds appearWithin) {
  std::optional<SwayView> show;
  if (!WaitUntil([&] { return (show = FindView(sway.views(), "TForm1")).has_value(); }, appearWithin)) return show;
  (void)WaitUntil(
      [&] {
        show = FindView(sway.views(), "TForm1");
        return show && coversOutput(*show);
      },
      3s);
  return show;
}

// Presses a key and waits until the show's window and process are gone;
// kills the process when they are not, so that the next start is not
// refused as a second show.
void endWithKey(SwaySession& sway, const SwayView& show) {
  sway.pressKey("space");
  const bool ended = WaitUntil([&] { return !FindView(sway.views(), "TForm1") && ProcessGone(show.pid); }, 10s);
  EXPECT_TRUE(ended) << "a key did not end the show";
  if (!ended) ::kill(show.pid, SIGKILL);
}

TEST(SwayShow, coversTheOutputAboveATerminalOnTwentyStartsAndEndsOnAKey) {
  SwaySession sway(kWidth, kHeight);
  WriteSettings(sway.home(), "Sound=0", {});
  sway.giveHomeToUser();

  int fullScreenStarts = 0;
  for (int start = 1; start <= 20; ++start) {
    SCOPED_TRACE("start " + std::to_string(start));
    // Each start follows a terminal that has just opened: the compositor
    // is then busy with that window while the show maps its own.
    openTerminal(sway);
    if (HasFatalFailure()) return;
    sway.exec(showCommand(sway));
    // The first start also starts XWayland.
    const std::optional<SwayView> show = waitForShow(sway, 30s);
    ASSERT_TRUE(show) << "the show's window did not appear\n" << sway.logTail();

    const bool fullScreen = coversOutput(*show);
    EXPECT_TRUE(fullScreen) << *show;
    // The whole output is the message screen: white but for the label's
    // text, with nothing of the terminal or of a title bar.
    int notWhite = -1;
    const bool covered = WaitUntil([&] { return (notWhite = pixelsNotWhiteBesideLabel(sway.screenshot())) == 0; }, 5s);
    EXPECT_TRUE(covered) << notWhite << " pixels beside the label are not the show's white";
    EXPECT_GT(sway.screenshot().count(Seen::Black, kLabel), 500) << "the label's text is missing";
    if (fullScreen && covered) ++fullScreenStarts;

    endWithKey(sway, *show);
    closeTerminal(sway);
  }
  std::cout << "The show covered the output on " << fullScreenStarts << " of 20 starts.\n";
  EXPECT_EQ(fullScreenStarts, 20);
}

TEST(SwayShow, swayidleStartsTheShowAfterItsTimeoutAndAKeyEndsIt) {
  SwaySession sway(kWidth, kHeight);
  ClipOptions clip;
  clip.pattern = "blue";
  clip.seconds = 10;
  // Full-screen size: the video fills the output.
  WriteSettings(sway.home(), "Sound=0\nPicdis=1", {sway.reachable(MakeClip(clip))});
  sway.giveHomeToUser();
  openTerminal(sway);
  ASSERT_FALSE(HasFatalFailure());

  const auto idleSince = std::chrono::steady_clock::now();
  // Without -w: swayidle waits for no command, so the show's own run does
  // not hold back the idle events that come after it.
  sway.exec("swayidle timeout 2 '" + showCommand(sway) + "'");
  const std::optional<SwayView> show = waitForShow(sway, 30s);
  ASSERT_TRUE(show) << "swayidle did not start the show\n" << sway.logTail();
  EXPECT_GE(std::chrono::steady_clock::now() - idleSince, 2s) << "the show came before the idle timeout";
  EXPECT_TRUE(coversOutput(*show)) << *show;

  int blue = 0;
  const int all = kWidth * kHeight;
  EXPECT_TRUE(WaitUntil([&] { return (blue = sway.screenshot().count(Seen::Blue, kOutput)) >= all * 99 / 100; }, 15s))
      << "the video covers " << blue << " of " << all << " pixels";

  endWithKey(sway, *show);
}

// Quorrel's own idle watcher in place of swayidle: sway 1.7 tells it the
// idle time through org_kde_kwin_idle, a video player's Wayland idle
// inhibitor holds the show back, and there is no session bus at all.
TEST(SwayShow, theIdleWatcherStartsTheShowAfterEachIdlePeriodAndNotWhileAPlayerInhibitsIt) {
  SwaySession sway(kWidth, kHeight);
  ClipOptions clip;
  clip.pattern = "blue";
  clip.seconds = 30;
  const std::string video = sway.reachable(MakeClip(clip));
  WriteSettings(sway.home(), "Sound=0\nPicdis=1\nIdlestart=1\nIdleminutes=5", {video});
  sway.giveHomeToUser();
  // The watcher is looked for beside the program.
  (void)sway.reachable(QUORREL_IDLE_EXECUTABLE);
  const std::string log = sway.home() + "/watcher.log";
  sway.exec(sway.reachable(QUORREL_EXECUTABLE) + " --idle 2 2>>" + log);

  std::optional<SwayView> show = waitForShow(sway, 30s);
  ASSERT_TRUE(show) << "the watcher did not start the show\n" << ReadFile(log) << sway.logTail();
  EXPECT_TRUE(coversOutput(*show)) << *show;
  const int all = kWidth * kHeight;
  int blue = 0;
  EXPECT_TRUE(WaitUntil([&] { return (blue = sway.screenshot().count(Seen::Blue, kOutput)) >= all * 99 / 100; }, 15s))
      << "the video covers " << blue << " of " << all << " pixels";
  endWithKey(sway, *show);
  // The next idle period, the next show.
  show = waitForShow(sway, 15s);
  ASSERT_TRUE(show) << "no show after the second idle period\n" << ReadFile(log);
  endWithKey(sway, *show);

  // A player showing a video holds an idle inhibitor: no show while it plays.
  sway.exec("mpv --no-config --vo=wlshm --ao=null --loop=inf " + video);
  ASSERT_TRUE(WaitUntil([&] { return FindView(sway.views(), "mpv").has_value(); }, 15s)) << sway.logTail();
  EXPECT_FALSE(waitForShow(sway, 5s)) << "the show started over a playing video";
  sway.command("[app_id=mpv] kill");
  ASSERT_TRUE(WaitUntil([&] { return !FindView(sway.views(), "mpv"); }, 10s));
  show = waitForShow(sway, 15s);
  EXPECT_TRUE(show) << "no show once the player had gone\n" << ReadFile(log);
  if (show) endWithKey(sway, *show);

  EXPECT_EQ(ReadFile(log), "quorrel: idle watcher: starts the show after 2 s of inactivity (org_kde_kwin_idle)\n");
}

}  // namespace
}  // namespace quorrel::test
