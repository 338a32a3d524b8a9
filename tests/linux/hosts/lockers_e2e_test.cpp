// Quorrel as the saver of xsecurelock and of mate-screensaver, set up the
// way the README tells users to.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "tests/linux/hosts/host_desktop.h"
#include "tests/linux/hosts/host_fixture.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

bool showsOn(const MonitorDisplay& display, std::size_t monitor, Seen colour) {
  return MonitorColours(display.name(), display.monitors()).at(monitor) == colour;
}

// mate-screensaver's saver when the machine allows no mount namespace: a
// link of the test's own in /usr/libexec/xscreensaver, which only root can
// make, removed again at the end.
class SaverLinkInHostFolder {
 public:
  explicit SaverLinkInHostFolder(const std::string& target)
      : path_(std::string(kSaverFolder) + "/quorrel-test-" + std::to_string(getpid())) {
    std::filesystem::create_symlink(target, path_);
  }
  ~SaverLinkInHostFolder() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  SaverLinkInHostFolder(const SaverLinkInHostFolder&) = delete;
  SaverLinkInHostFolder& operator=(const SaverLinkInHostFolder&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST_F(HostTest, xsecurelockShowsTheVideoInsideItsOverlayAndEndsWithTheLockersProcessGroup) {
  session.settings("Endon=0\nSound=0\nPicdis=1\nPicord=2", {session.media(SolidClip("red", 320, 240, 4.0))});
  SetSinkMute(false);

  // setsid makes the locker the leader of a process group of its own, the
  // one that an idle tool signals.
  ChildProcess& locker = session.start({"setsid", "xsecurelock"}, {{"XSECURELOCK_SAVER", saver.path}});
  ASSERT_TRUE(WaitUntil([&] { return showsOn(display, 0, Seen::Red) && showsOn(display, 1, Seen::Red); }, 40s))
      << Tail(session.log());
  EXPECT_EQ(LiveSavers(saver.program).size(), 2U);

  ASSERT_EQ(kill(-locker.pid(), SIGTERM), 0);
  EXPECT_TRUE(locker.waitFor(10s).has_value()) << "xsecurelock did not end";
  EXPECT_TRUE(WaitUntil([&] { return LiveSavers(saver.program).empty(); }, 5s)) << Tail(session.log());
  EXPECT_EQ(SinkMuted(), true) << "the end-of-show mute was not applied";
  EXPECT_FALSE(showsOn(display, 0, Seen::Red));
}

TEST_F(HostTest, mateScreensaverPlaysTheChosenThemeAndEndsItOnDeactivate) {
  session.settings("Sound=0\nPicdis=1\nPicord=2", {session.media(SolidClip("red", 320, 240, 4.0))});

  // The theme is the installed screensavers/quorrel.desktop, its saver seen
  // where the package puts it; where that cannot be arranged, a theme of the
  // test's own names a link of its own.
  std::string theme = "screensavers-quorrel";
  std::optional<SaverLinkInHostFolder> link;
  const bool mounted = session.canMountSaverFolder();
  if (!mounted) {
    if (getuid() != 0) GTEST_SKIP() << "no mount namespace for " << kSaverFolder << ", and no root to link there";
    link.emplace(saver.path);
    session.writeHomeFile(".local/share/applications/screensavers/quorrel-test.desktop",
                          "[Desktop Entry]\nType=Application\nName=Quorrel\nExec=" + link->path() +
                              " --root\nCategories=Screensaver;\n");
    theme = "screensavers-quorrel-test";
  }
  // Chosen the way the preferences dialog does; the bus address is kept
  // for the commands.
  const std::string start =
      "gsettings set org.mate.screensaver mode \"'single'\""
      " && gsettings set org.mate.screensaver themes \"['" + theme + "']\""
      " && gsettings set org.mate.screensaver lock-enabled false"
      " && gsettings set org.mate.screensaver idle-activation-enabled false"
      " && echo \"$DBUS_SESSION_BUS_ADDRESS\" >\"$HOME/bus\""
      " && exec mate-screensaver --no-daemon";
  const std::vector<std::string> daemon = {"dbus-run-session", "--", "/bin/sh", "-c", start};
  const Environment desktop = {{"XDG_DATA_DIRS", saver.root + "/usr/share:/usr/share"}, {"XDG_CURRENT_DESKTOP", "MATE"}};
  if (mounted) {
    session.startWithSaverFolder(daemon, desktop);
  } else {
    session.start(daemon, desktop);
  }
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(session.home() + "/bus").find('\n') != std::string::npos; }, 20s))
      << Tail(session.log());
  std::string bus = ReadFile(session.home() + "/bus");
  bus.pop_back();
  const Environment onBus = {{"DBUS_SESSION_BUS_ADDRESS", bus}};
  ASSERT_TRUE(WaitUntil([&] { return session.run({"mate-screensaver-command", "--query"}, onBus) == 0; }, 20s))
      << Tail(session.log());

  ASSERT_EQ(session.run({"mate-screensaver-command", "--activate"}, onBus), 0);
  // GTK counts only monitors that have an output, so mate-screensaver
  // covers the primary monitor here, with one copy.
  ASSERT_TRUE(WaitUntil([&] { return showsOn(display, 0, Seen::Red); }, 40s)) << Tail(session.log());
  EXPECT_EQ(LiveSavers(saver.program).size(), 1U);

  // mate-screensaver waits for its saver to end before it answers.
  ASSERT_EQ(session.run({"mate-screensaver-command", "--deactivate"}, onBus, 30s), 0);
  EXPECT_TRUE(WaitUntil([&] { return LiveSavers(saver.program).empty(); }, 5s)) << Tail(session.log());
  EXPECT_TRUE(WaitUntil([&] { return !showsOn(display, 0, Seen::Red); }, 5s));
}

}  // namespace
}  // namespace quorrel::test
