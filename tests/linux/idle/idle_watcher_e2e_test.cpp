// The idle watcher on plain X11, end to end: an X server and a session bus
// of the test's own, the real `quorrel --idle` and the show it starts,
// input through xdotool, and a browser's inhibition on the bus.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "linux/idle/watcher_lock.h"
#include "tests/linux/show/show_desktop.h"
#include "tests/support/process.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kShowTitle = "FrmQuorrel33";

// A user's X11 session without a desktop: an Xvfb, a session bus, a home
// and a runtime folder, all the test's own. Nobody else owns
// org.freedesktop.ScreenSaver there, and no system bus answers.
class X11Session : public ::testing::Test {
 protected:
  X11Session() : xvfb(800, 600) {
    std::filesystem::create_directories(runtimeDir());
    ::chmod(runtimeDir().c_str(), 0700);
    bus = std::make_unique<ChildProcess>(std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--nopidfile",
                                                                  "--address=unix:path=" + home.file("bus")});
    if (!WaitUntil([&] { return std::filesystem::exists(home.file("bus")); }, 10s)) {
      throw std::runtime_error("the session bus did not start");
    }
  }

  std::string runtimeDir() const { return home.file("runtime"); }
  std::string configHome() const { return home.file(".config"); }
  std::string settingsPath() const { return configHome() + "/Quorrel/quorrel4.ini"; }
  std::string busAddress() const { return "unix:path=" + home.file("bus"); }
  std::string watcherLog() const { return home.file("watcher.log"); }

  std::map<std::string, std::string> environment() const {
    std::map<std::string, std::string> environment = {{"DISPLAY", xvfb.display()},
                                                      {"HOME", home.path()},
                                                      {"XDG_CONFIG_HOME", configHome()},
                                                      {"XDG_RUNTIME_DIR", runtimeDir()},
                                                      {"DBUS_SESSION_BUS_ADDRESS", busAddress()},
                                                      {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + home.file("none")}};
    environment.insert(kDesktopLocale.begin(), kDesktopLocale.end());
    return environment;
  }

  // A red clip over the whole screen, and the watcher's two options.
  void writeSettings(const std::string& idleOptions) {
    WriteSettings(configHome(), "Picdis=1\nSound=0\n" + idleOptions, {SolidClip("red", 320, 240, 60.0)});
  }

  // `quorrel --idle SECONDS`, its standard error (and its show's) in the log.
  std::unique_ptr<ChildProcess> startWatcher(const std::string& seconds) {
    return std::make_unique<ChildProcess>(std::vector<std::string>{"sh", "-c", "exec \"$0\" --idle $1 2>>\"$2\"",
                                                                   QUORREL_EXECUTABLE, seconds, watcherLog()},
                                          environment());
  }

  bool showOnScreen() const { return WindowNamed(xvfb.display(), kShowTitle); }
  bool showGone() const { return !showOnScreen(); }

  // The processes a watcher has started and not yet seen end.
  static std::string childrenOf(pid_t pid) {
    return ReadFile("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
  }

  // Whether some process holds this session's watcher lock.
  bool watcherLockHeld() const {
    const std::string path = runtimeDir() + "/" + linux_desktop::WatcherLockName(nullptr, xvfb.display().c_str());
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0;
    ::close(descriptor);
    return held;
  }

  std::string runQuietly(const std::vector<std::string>& argv) {
    std::vector<std::string> command{"env"};
    for (const auto& [name, value] : environment()) command.push_back(name + "=" + value);
    command.insert(command.end(), argv.begin(), argv.end());
    const ProcessResult result = RunProcess(command, 10s);
    return std::to_string(result.exitStatus) + ":" + result.output;
  }

  TempDir home;
  OwnXvfb xvfb;
  std::unique_ptr<ChildProcess> bus;
};

TEST_F(X11Session, theWatcherStartsTheShowAfterEachIdlePeriodAndEndsWhenTheOptionIsTurnedOff) {
  // Off, and no wait of its own: it ends at once, without a word.
  writeSettings("Idlestart=0\nIdleminutes=5\n");
  EXPECT_EQ(runQuietly({QUORREL_EXECUTABLE, "--idle"}), "0:");

  writeSettings("Idlestart=1\nIdleminutes=5\n");
  const auto watcher = startWatcher("2");
  ASSERT_TRUE(WaitUntil([&] { return watcherLockHeld(); }, 10s)) << ReadFile(watcherLog());
  // One watcher per session: a second ends at once.
  EXPECT_EQ(runQuietly({QUORREL_EXECUTABLE, "--idle", "2"}), "0:");

  ASSERT_TRUE(WaitUntil([&] { return showOnScreen(); }, 15s)) << "no show after the wait: " << ReadFile(watcherLog());
  EXPECT_TRUE(WaitUntil([&] { return Classify(PixelAt(xvfb.display(), 400, 300)) == Seen::Red; }, 10s));
  // The watcher answers the desktop's screen-saver questions on this bus.
  EXPECT_EQ(runQuietly({"gdbus", "call", "--session", "-d", "org.freedesktop.ScreenSaver", "-o",
                        "/org/freedesktop/ScreenSaver", "-m", "org.freedesktop.ScreenSaver.GetActive"}),
            "0:(true,)\n");

  Xdotool(xvfb.display(), {"key", "a"});
  ASSERT_TRUE(WaitUntil([&] { return showGone(); }, 10s)) << "a key did not end the show";
  EXPECT_TRUE(watcher->running());
  // The next idle period brings the next show.
  EXPECT_TRUE(WaitUntil([&] { return showOnScreen(); }, 15s)) << "no show after the second wait";
  Xdotool(xvfb.display(), {"key", "b"});
  EXPECT_TRUE(WaitUntil([&] { return showGone(); }, 10s));

  // One line at its start, naming its source, and nothing per event.
  const std::string log = ReadFile(watcherLog());
  EXPECT_EQ(log, "quorrel: idle watcher: starts the show after 2 s of inactivity (MIT-SCREEN-SAVER)\n");

  // The option turned off in the settings file ends the watcher.
  writeSettings("Idlestart=0\nIdleminutes=5\n");
  EXPECT_EQ(watcher->waitFor(5s), std::optional<int>(0)) << "the watcher did not follow the settings file";
}

// A connection of another program of the session to its bus.
sd_bus* ConnectToBus(const std::string& address) {
  sd_bus* bus = nullptr;
  sd_bus_new(&bus);
  sd_bus_set_address(bus, address.c_str());
  sd_bus_set_bus_client(bus, 1);
  if (sd_bus_start(bus) < 0) throw std::runtime_error("the session bus does not answer");
  return bus;
}

// A browser playing a video, as Chromium and Firefox ask: Inhibit on
// org.freedesktop.ScreenSaver, held for as long as its connection lives.
class Browser {
 public:
  explicit Browser(const std::string& address) : bus_(ConnectToBus(address)) {}
  ~Browser() { leave(); }
  std::uint32_t inhibit() {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    std::uint32_t cookie = 0;
    if (sd_bus_call_method(bus_, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                           "org.freedesktop.ScreenSaver", "Inhibit", &error, &reply, "ss", "firefox",
                           "video-playing") >= 0) {
      (void)sd_bus_message_read(reply, "u", &cookie);
    }
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return cookie;
  }
  // The browser quits (or crashes) without a word.
  void leave() {
    if (bus_ != nullptr) sd_bus_flush_close_unref(bus_);
    bus_ = nullptr;
  }

 private:
  sd_bus* bus_ = nullptr;
};

TEST_F(X11Session, aShowStartedByHandAndABrowsersInhibitionEachHoldTheWatchersShowBack) {
  writeSettings("Idlestart=1\nIdleminutes=5\n");
  ChildProcess byHand({QUORREL_EXECUTABLE, "/S"}, environment());
  ASSERT_TRUE(WaitUntil([&] { return showOnScreen(); }, 15s));
  const auto watcher = startWatcher("1");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(watcherLog()).find("MIT-SCREEN-SAVER") != std::string::npos; }, 10s));
  Browser browser(busAddress());
  // The watcher owns the name once it is up; the browser asks until then.
  std::uint32_t cookie = 0;
  ASSERT_TRUE(WaitUntil([&] { return (cookie = browser.inhibit()) != 0; }, 10s));

  // Several idle periods pass with the show by hand on screen: the watcher
  // starts no second show.
  const bool startedAny = WaitUntil([&] { return !childrenOf(watcher->pid()).empty(); }, 3s);
  EXPECT_FALSE(startedAny) << "the watcher started a show beside the one started by hand";
  Xdotool(xvfb.display(), {"key", "a"});
  EXPECT_EQ(byHand.waitFor(10s), std::optional<int>(0));

  // Now only the browser holds it back, however long the session is idle.
  EXPECT_FALSE(WaitUntil([&] { return showOnScreen(); }, 4s)) << "the show started over the browser's video";

  // The browser leaves the bus without UnInhibit: its inhibition ends with
  // it, and the next idle period starts the show.
  browser.leave();
  Xdotool(xvfb.display(), {"mousemove", "10", "10"});
  EXPECT_TRUE(WaitUntil([&] { return showOnScreen(); }, 15s)) << "the inhibition outlived its caller";
  EXPECT_FALSE(childrenOf(watcher->pid()).empty());
  Xdotool(xvfb.display(), {"key", "a"});
  EXPECT_TRUE(WaitUntil([&] { return showGone(); }, 10s));
  watcher->signal(SIGTERM);
  EXPECT_EQ(watcher->waitFor(5s), std::optional<int>(0));
}

// A desktop's lock screen as the watcher sees it on the session bus:
// org.gnome.ScreenSaver answering GetActive and announcing ActiveChanged,
// served from a thread of the test's own.
class LockScreen {
 public:
  explicit LockScreen(const std::string& address) : bus_(ConnectToBus(address)) {
    if (sd_bus_add_object_vtable(bus_, nullptr, "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", kMethods, this) <
            0 ||
        sd_bus_request_name(bus_, "org.gnome.ScreenSaver", 0) < 0) {
      throw std::runtime_error("the lock screen could not take its name");
    }
    thread_ = std::thread([this] { serve(); });
  }
  ~LockScreen() {
    stop_ = true;
    thread_.join();
    sd_bus_flush_close_unref(bus_);
  }
  void setActive(bool active) {
    active_ = active;
    announce_ = true;
  }

 private:
  void serve() {
    while (!stop_) {
      while (sd_bus_process(bus_, nullptr) > 0) {
      }
      if (announce_.exchange(false)) {
        (void)sd_bus_emit_signal(bus_, "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver", "ActiveChanged", "b",
                                 active_.load() ? 1 : 0);
      }
      (void)sd_bus_wait(bus_, 50000);
    }
  }
  static int getActive(sd_bus_message* call, void* self, sd_bus_error*) {
    return sd_bus_reply_method_return(call, "b", static_cast<LockScreen*>(self)->active_.load() ? 1 : 0);
  }
  static constexpr sd_bus_vtable kMethods[] = {
      SD_BUS_VTABLE_START(0), SD_BUS_METHOD("GetActive", "", "b", &LockScreen::getActive, 0), SD_BUS_VTABLE_END};

  sd_bus* bus_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> active_{false};
  std::atomic<bool> announce_{false};
};

TEST_F(X11Session, theSessionLockingEndsTheWatchersShowAndNoneStartsWhileItIsLocked) {
  writeSettings("Idlestart=1\nIdleminutes=5\n");
  LockScreen lockScreen(busAddress());
  const auto watcher = startWatcher("1");
  ASSERT_TRUE(WaitUntil([&] { return showOnScreen(); }, 15s)) << ReadFile(watcherLog());

  // The lock comes up under the show: the show ends, as by SIGTERM, so the
  // user comes back to the lock screen rather than to a video behind it.
  lockScreen.setActive(true);
  EXPECT_TRUE(WaitUntil([&] { return showGone() && childrenOf(watcher->pid()).empty(); }, 10s))
      << "the show stayed over the lock screen";
  Xdotool(xvfb.display(), {"mousemove", "20", "20"});
  EXPECT_FALSE(WaitUntil([&] { return showOnScreen(); }, 4s)) << "a show started over the locked session";

  lockScreen.setActive(false);
  Xdotool(xvfb.display(), {"mousemove", "40", "40"});
  EXPECT_TRUE(WaitUntil([&] { return showOnScreen(); }, 15s)) << "no show once the session was unlocked";
  Xdotool(xvfb.display(), {"key", "a"});
  EXPECT_TRUE(WaitUntil([&] { return showGone(); }, 10s));
}

TEST_F(X11Session, theDialogsOkStoresTheChoiceAndStartsAWatcherThatOutlivesIt) {
  writeSettings("Idlestart=1\nIdleminutes=7\n");
  ChildProcess dialog({QUORREL_EXECUTABLE, "/C"}, environment());
  ASSERT_TRUE(WaitUntil([&] { return WindowNamed(xvfb.display(), "Quorrel Options"); }, 20s));
  // No window manager here gives the dialog the keys: the test does.
  Xdotool(xvfb.display(), {"search", "--name", "^Quorrel Options$", "windowfocus", "--sync", "key", "Return"});
  ASSERT_EQ(dialog.waitFor(10s), std::optional<int>(0)) << "Enter did not press OK";
  const std::string settings = ReadFile(settingsPath());
  EXPECT_NE(settings.find("\nIdlestart=1\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("\nIdleminutes=7\n"), std::string::npos) << settings;
  EXPECT_TRUE(WaitUntil([&] { return watcherLockHeld(); }, 10s)) << "OK started no watcher";

  // Turned off in the dialog's file, the detached watcher ends by itself.
  writeSettings("Idlestart=0\nIdleminutes=7\n");
  EXPECT_TRUE(WaitUntil([&] { return !watcherLockHeld(); }, 5s)) << "the watcher did not follow the option";
}

}  // namespace
}  // namespace quorrel::test
