// The real show started the ways idle tools, kiosks and logouts start and
// stop it: on an X server that resets when its last client leaves, with a
// standard error nobody reads or none at all, and with its X server going
// away at any moment of its start.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

std::string RedClipWithSound() { return MakeClip(ClipOptions{"red", 320, 240, 30.0, Container::Avi, true}); }

// A file the player cannot open, so that the show writes a line about it
// to its standard error at once.
std::string NotAVideo(const TempDir& folder) {
  const std::string path = folder.file("not-a-video.avi");
  WriteFile(path, "This is no video.\n");
  return path;
}

std::string DescriptorTarget(pid_t pid, int descriptor) {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/" + std::to_string(descriptor), error)
      .string();
}

TEST(Start, everyStartShowsOnAnXServerThatResetsWhenItsLastClientLeaves) {
  // The probe of the display and the claim of the show are separate steps;
  // with nothing else on the server, nothing may leave it without a client
  // in between. The window is looked at only once the show's sound plays,
  // so that the test's own connections cannot keep the server up.
  for (int round = 1; round <= 30; ++round) {
    SCOPED_TRACE(round);
    OwnDesktopStart bare;
    bare.serverResets = true;
    bare.videos = {RedClipWithSound()};
    OwnDesktopShow show("/S", "Picdis=1\nSound=0", bare);
    const pid_t pid = show.process().pid();
    ASSERT_TRUE(
        WaitUntil([&] { return !show.process().running() || !SoundStreamsOf(pid, show.soundServer()).empty(); }, 30s));
    ASSERT_TRUE(show.process().running()) << "the show ended without a window: " << show.standardError();
    EXPECT_TRUE(show.playsRed());
    Xdotool(show.x().display(), {"key", "space"});
    EXPECT_EQ(show.process().waitFor(10s), 0);
  }
}

TEST(Start, aStandardErrorThatIsBrokenOrClosedChangesNothing) {
  TempDir folder;
  const std::vector<std::string> videos = {NotAVideo(folder), SolidClip("red", 320, 240, 30.0)};
  // A logger whose reader has gone, and all three standard descriptors
  // closed. The first video cannot be played, which the show says on its
  // standard error before it goes on to the next.
  for (const std::string redirections : {"2> >(exit 0)", "0<&- 1>&- 2>&-"}) {
    SCOPED_TRACE(redirections);
    OwnDesktopStart start;
    start.redirections = redirections;
    start.videos = videos;
    OwnDesktopShow show("/S", "Starton=0\nEndon=1\nPicdis=1\nSound=0", start);
    EXPECT_TRUE(show.playsRed());
    EXPECT_TRUE(show.process().running());
    EXPECT_EQ(show.sinkMuted(), true);
    if (redirections.find("0<&-") != std::string::npos) {
      // Not an X socket or a file opened later, which would take the
      // lowest free number.
      for (const int descriptor : {0, 1, 2}) EXPECT_EQ(DescriptorTarget(show.process().pid(), descriptor), "/dev/null");
    }
    Xdotool(show.x().display(), {"key", "space"});
    EXPECT_EQ(show.process().waitFor(10s), 0);
    EXPECT_EQ(show.sinkMuted(), false) << "the end mute did not run";
  }
}

TEST(LostDisplay, theShowEndsWithinThreeSecondsOfItsXServerAtAnyMomentOfItsStartNeverLeftMuted) {
  // The server goes at moments spread over the start, and just as the
  // start mute lands, when the first video is being opened.
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    OwnDesktopShow show("/S", "Starton=0\nEndon=1\nPicdis=1\nSound=0");
    if (round % 2 == 0) {
      SleepFor(std::chrono::milliseconds(100 * round));
    } else {
      ASSERT_TRUE(WaitUntil([&] { return show.sinkMuted() == true || !show.process().running(); }, 20s));
    }
    show.x().stop();
    const auto ended = show.process().waitFor(3s);
    EXPECT_TRUE(ended.has_value()) << "still running 3 s after its X server's end: " << show.standardError();
    if (!ended) show.process().signal(SIGKILL);
    EXPECT_EQ(show.sinkMuted(), false) << show.standardError();
  }
}

}  // namespace
}  // namespace quorrel::test
