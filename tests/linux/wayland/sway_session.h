#pragma once

// A real Wayland desktop for the tests: a headless sway with its XWayland,
// run as an ordinary user in namespaces of its own (sway_in_namespace.sh),
// and the tools a user's session has on it: swaymsg starts programs and
// reads the window tree, grim takes screenshots, wtype presses keys on the
// compositor's own virtual keyboard.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/process.h"

namespace quorrel::test {

// A window in sway's tree.
struct SwayView {
  std::string appId;        // a native Wayland client's
  std::string windowClass;  // an XWayland client's X11 class
  pid_t pid = -1;
  bool fullScreen = false;
  bool focused = false;
  Box rect;  // on the output, with sway's title bar and border
};
std::ostream& operator<<(std::ostream& out, const SwayView& view);

// The first view whose app id or X11 class is `name`.
[[nodiscard]] std::optional<SwayView> FindView(const std::vector<SwayView>& views, const std::string& name);

class SwaySession {
 public:
  // Starts sway with one headless output of that size and waits until it
  // answers. As root, sway runs as the user named by QUORREL_TEST_USER.
  SwaySession(int width, int height);
  // Asks sway to exit, which ends everything it started, and kills it
  // when it does not.
  ~SwaySession();
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;

  // HOME and XDG_CONFIG_HOME of every program sway starts.
  [[nodiscard]] const std::string& home() const { return home_; }
  // A copy of a file of the build tree (the show, a test clip) in the
  // session's folder, which the user sway runs as can reach: the build
  // tree may lie in a folder closed to that user, as a clone in root's
  // home does.
  [[nodiscard]] std::string reachable(const std::string& file);
  // Hands what the test wrote into home() to the user sway runs as.
  void giveHomeToUser();

  // Runs one of sway's own commands, as swaymsg does.
  void command(const std::string& command);
  // Runs a shell command the way a key binding or an idle tool does:
  // inside sway's namespaces, with its DISPLAY and environment.
  void exec(const std::string& shellCommand) { command("exec " + shellCommand); }
  [[nodiscard]] std::vector<SwayView> views();
  [[nodiscard]] Screenshot screenshot();
  // Presses and releases a key, named as xkb names it.
  void pressKey(const std::string& key);
  // What sway and its programs printed last, for a failure's report.
  [[nodiscard]] std::string logTail() const;

 private:
  ProcessResult client(std::vector<std::string> argv, std::chrono::milliseconds timeout = std::chrono::seconds(10));

  TempDir root_;
  std::string user_;
  std::string home_;
  std::string runtimeDir_;
  std::string waylandDisplay_;
  std::string swaySocket_;
  std::unique_ptr<ChildProcess> sway_;
};

// Whether a process has ended (or is only waiting to be reaped).
[[nodiscard]] bool ProcessGone(pid_t pid);

}  // namespace quorrel::test
