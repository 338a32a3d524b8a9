#pragma once

// A Wayland desktop session of the tests' own: a compositor with its
// XWayland, run as root in a mount and network namespace of its own
// (desktop_in_namespace.sh) with a session bus and a system bus of its own,
// so that nothing of the machine's displays or buses reaches into it and
// nothing of it reaches out. The test talks to the compositor through the
// session bus and the Wayland socket, both reachable from outside; programs
// that need the XWayland display (the idle watcher, and through it the
// show) run inside the namespaces.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace quorrel::test {

using Environment = std::map<std::string, std::string>;

class NamespacedDesktop {
 public:
  NamespacedDesktop();
  // Ends the compositor, the buses and every program started inside.
  ~NamespacedDesktop();
  NamespacedDesktop(const NamespacedDesktop&) = delete;
  NamespacedDesktop& operator=(const NamespacedDesktop&) = delete;

  // Starts the compositor with exactly `environment` (the buses added) and
  // waits until it has made its Wayland socket `waylandDisplay`.
  void start(const std::vector<std::string>& compositor, const Environment& environment,
             const std::string& waylandDisplay);
  [[nodiscard]] bool running();

  // HOME and XDG_CONFIG_HOME of the session.
  [[nodiscard]] const std::string& home() const { return home_; }
  [[nodiscard]] const std::string& runtimeDir() const { return runtimeDir_; }
  [[nodiscard]] std::string file(const std::string& name) const { return root_.file(name); }
  [[nodiscard]] std::string sessionBus() const { return "unix:path=" + root_.file("session-bus"); }
  [[nodiscard]] std::string systemBus() const { return "unix:path=" + root_.file("system-bus"); }
  // The compositor's own: search path, home and runtime folder.
  [[nodiscard]] Environment compositorEnvironment() const;
  // What a program of the session finds in its environment: home, runtime
  // folder, buses, Wayland display, locale, sound server, and the X display
  // once xDisplay() has found it.
  [[nodiscard]] Environment sessionEnvironment() const;

  // Waits for the compositor's XWayland and returns its display (":0"),
  // with its authority file when the compositor made one.
  std::string waitForXDisplay(std::chrono::milliseconds timeout);
  void setXAuthority(const std::string& file) { xAuthority_ = file; }

  // Starts a program inside the session's namespaces with the session's
  // environment and `extra`; its standard error goes to `errorLog` when one
  // is named. The returned process is the program itself.
  std::unique_ptr<ChildProcess> startInside(const std::vector<std::string>& argv, const Environment& extra = {},
                                            const std::string& errorLog = {});
  // Runs a program inside and waits for it.
  ProcessResult runInside(const std::vector<std::string>& argv,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // Runs a program outside, with the session's environment.
  ProcessResult runOutside(const std::vector<std::string>& argv,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // What the compositor and its programs printed last, for a failure's
  // report.
  [[nodiscard]] std::string logTail() const;

 private:
  std::vector<std::string> inside(const std::vector<std::string>& argv, const Environment& extra) const;

  TempDir root_;
  std::string home_;
  std::string runtimeDir_;
  std::string waylandDisplay_;
  std::string xDisplay_;
  std::string xAuthority_;
  std::unique_ptr<ChildProcess> launcher_;
};

// The processes below this test program whose command line is that of a
// show: the program file given, with the first argument "/S".
[[nodiscard]] std::vector<pid_t> RunningShows(const std::string& program);

}  // namespace quorrel::test
