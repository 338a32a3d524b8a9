// XScreenSaver running Quorrel as its saver on a display with two monitors,
// activated and deactivated with xscreensaver-command, as a user's idle
// timer or a key press would.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>

#include "tests/linux/hosts/host_desktop.h"
#include "tests/linux/hosts/host_fixture.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// Quorrel as the only saver, and nothing that starts, fades or locks on its
// own, so that only the commands start and stop it.
std::string xscreensaverSettings(const std::string& saver) {
  return "mode:\t\tone\nselected:\t0\nlock:\t\tFalse\nfade:\t\tFalse\nunfade:\t\tFalse\nsplash:\t\tFalse\n"
         "dpmsEnabled:\tFalse\ntimeout:\t2:00:00\ncycle:\t\t0:00:00\n"
         "programs:\t\"Quorrel\"  " + saver + " --root \\n\n";
}

TEST_F(HostTest, xscreensaverRunsOneCopyPerMonitorAndOnlyThePrimaryOneSoundsAndMutes) {
  session.settings("Starton=1\nEndon=0\nSound=1\nRepeat=1\nPicdis=1\nPicord=2", {soundingClip("red")},
                   session.media(MakeWav(1.0, 550)));
  session.writeHomeFile(".xscreensaver", xscreensaverSettings(saver.path));
  SetSinkMute(true);

  session.start({"xscreensaver", "-no-splash", "-verbose"});
  ASSERT_TRUE(WaitUntil([&] { return session.run({"xscreensaver-command", "-time"}) == 0; }, 20s))
      << Tail(session.log());
  ASSERT_EQ(session.run({"xscreensaver-command", "-activate"}), 0);

  // The video on both monitors, from exactly two copies.
  ASSERT_TRUE(WaitUntil([&] { return MonitorColours(display.name(), display.monitors()) ==
                                         std::vector<Seen>{Seen::Red, Seen::Red}; }, 40s))
      << Tail(session.log());
  const std::vector<pid_t> copies = LiveSavers(saver.program);
  ASSERT_EQ(copies.size(), 2U) << Tail(session.log());
  pid_t primary = -1;
  pid_t other = -1;
  for (const pid_t copy : copies) {
    const std::optional<Box> window = SaverWindow(display.name(), copy);
    ASSERT_TRUE(window.has_value()) << "copy " << copy << " has no host window";
    (MonitorOf(display.monitors(), *window) == 0 ? primary : other) = copy;
  }
  ASSERT_NE(primary, -1);
  ASSERT_NE(other, -1);

  // The primary copy un-mutes ("Starton" 1) and plays the video's sound and
  // the background sound.
  EXPECT_TRUE(WaitUntil([&] { return SinkMuted() == false; }, 10s)) << "the show did not un-mute";
  EXPECT_TRUE(WaitUntil([&] { return !SoundStreamsOf(primary).empty(); }, 10s)) << "the primary copy is silent";

  // For ten seconds no copy is started again, and the other copy never
  // plays a sound.
  std::set<pid_t> seen;
  std::set<int> otherStreams;
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < until) {
    for (const pid_t copy : LiveSavers(saver.program)) seen.insert(copy);
    for (const auto& [stream, playing] : SoundStreamsOf(other)) otherStreams.insert(stream);
    SleepFor(200ms);
  }
  EXPECT_EQ(seen, std::set<pid_t>(copies.begin(), copies.end())) << Tail(session.log());
  EXPECT_TRUE(otherStreams.empty()) << "the copy on the second monitor played " << otherStreams.size() << " sounds";
  EXPECT_EQ(SinkMuted(), false);

  // Deactivating stops both copies with SIGTERM; the primary one mutes
  // ("Endon" 0) before it is gone.
  const auto deactivated = std::chrono::steady_clock::now();
  ASSERT_EQ(session.run({"xscreensaver-command", "-deactivate"}), 0);
  EXPECT_TRUE(WaitUntil([&] { return LiveSavers(saver.program).empty(); }, 5s)) << Tail(session.log());
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - deactivated);
  RecordProperty("deactivate_to_end_ms", static_cast<int>(took.count()));
  EXPECT_EQ(SinkMuted(), true) << "the end-of-show mute was not applied";
}

}  // namespace
}  // namespace quorrel::test
