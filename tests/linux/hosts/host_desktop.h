#pragma once

// What the host tests share: a display with two monitors, Quorrel installed
// into a scratch root as the package installs it, a home for the test user,
// and the saver processes that the hosts start, found and watched from
// outside as a user would see them.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/linux/hosts/process_tree.h"
#include "tests/linux/hosts/test_user.h"
#include "tests/linux/show/show_desktop.h"
#include "tests/support/process.h"

namespace quorrel::test {

// An Xvfb of the tests' own, one screen split into side-by-side monitors
// with RandR, the first one primary. XScreenSaver sees them through
// Xinerama, which the server derives from the RandR monitors, xsecurelock
// and Qt through RandR's monitor list, so every host starts one saver per
// monitor. (Xvfb's own +xinerama puts every screen at the same origin.)
class MonitorDisplay {
 public:
  MonitorDisplay(int monitorWidth, int monitorHeight, int monitorCount);
  ~MonitorDisplay();
  MonitorDisplay(const MonitorDisplay&) = delete;
  MonitorDisplay& operator=(const MonitorDisplay&) = delete;

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] pid_t serverPid() const { return server_->pid(); }
  [[nodiscard]] const std::vector<Box>& monitors() const { return monitors_; }

 private:
  TempDir scratch_;
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
  std::vector<Box> monitors_;
};

// What the hosts are told to run: Quorrel as `cmake --install` puts it in
// a scratch root (the link in libexec/xscreensaver), or, when the
// environment variable QUORREL_HOSTS_STAND_IN is set, a stand-in script
// that plays the first listed video into the host's window with the mpv
// command, to check the tests' own handling of the hosts.
struct Saver {
  std::string root;     // the scratch root; the package's files are under <root>/usr
  std::string path;     // the saver to name to a host
  std::string program;  // the program file that the saver's process runs
};
[[nodiscard]] const Saver& SaverUnderTest();

// A home and a runtime folder for the test user, a settings file in it,
// and the environment that a desktop session would give the hosts. Its
// destructor ends every process that the test started and left behind.
class HostSession {
 public:
  explicit HostSession(const MonitorDisplay& display);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // The settings file at $XDG_CONFIG_HOME/Quorrel/quorrel4.ini, which is
  // also where Quorrel looks under a host that passes only HOME.
  void settings(const std::string& options, const std::vector<std::string>& videos,
                const std::string& sound = "Null") const;
  // A media file copied where the test user can read it.
  [[nodiscard]] std::string media(const std::string& file) const;
  // Writes a file in the home, owned by the test user.
  void writeHomeFile(const std::string& relativePath, const std::string& contents) const;

  [[nodiscard]] const std::string& home() const { return home_; }
  [[nodiscard]] const std::string& log() const { return log_; }
  [[nodiscard]] Environment environment(const Environment& extra = {}) const;

  // Starts a program as the test user, its output appended to log(). The
  // session owns the process and ends it first when it ends.
  ChildProcess& start(const std::vector<std::string>& argv, const Environment& extra = {});
  // The same with the saver seen in /usr/libexec/xscreensaver.
  ChildProcess& startWithSaverFolder(const std::vector<std::string>& argv, const Environment& extra = {});
  // Whether this machine lets the tests make the mount namespace for that.
  [[nodiscard]] bool canMountSaverFolder() const;
  // Runs a program as the test user and waits for it; its exit status.
  int run(const std::vector<std::string>& argv, const Environment& extra = {},
          std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

 private:
  const MonitorDisplay& display_;
  std::string folder_;
  std::string home_;
  std::string runtime_;
  std::string log_;
  std::vector<std::unique_ptr<ChildProcess>> processes_;
};


// The host's window that a saver draws into: its XSCREENSAVER_WINDOW, and
// that window's place on the root window.
[[nodiscard]] std::optional<Box> SaverWindow(const std::string& display, pid_t saver);
// Which of the monitors holds the box's centre; -1 for none.
[[nodiscard]] int MonitorOf(const std::vector<Box>& monitors, const Box& box);

// The colour at the centre of each monitor.
[[nodiscard]] std::vector<Seen> MonitorColours(const std::string& display, const std::vector<Box>& monitors);

// The last lines of a log, for failure messages.
[[nodiscard]] std::string Tail(const std::string& path, std::size_t lines = 30);

}  // namespace quorrel::test
