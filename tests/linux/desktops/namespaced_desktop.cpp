#include "tests/linux/desktops/namespaced_desktop.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "tests/linux/hosts/process_tree.h"

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::vector<std::string> commandLineOf(pid_t pid) {
  const std::string raw = ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
  std::vector<std::string> arguments;
  std::istringstream in(raw);
  for (std::string argument; std::getline(in, argument, '\0');) arguments.push_back(argument);
  return arguments;
}

}  // namespace

NamespacedDesktop::NamespacedDesktop() {
  if (::geteuid() != 0) throw std::runtime_error("the desktop tests make mount namespaces and must run as root");
  // Programs that the watcher and the compositor leave behind come back to
  // the test, which ends them with the session.
  AdoptOrphans();
  home_ = root_.file("home");
  runtimeDir_ = root_.file("runtime");
  fs::create_directory(home_);
  fs::create_directory(runtimeDir_);
  fs::permissions(runtimeDir_, fs::perms::owner_all);
}

NamespacedDesktop::~NamespacedDesktop() {
  if (launcher_) {
    launcher_->signal(SIGTERM);
    if (!launcher_->waitFor(10s)) launcher_->signal(SIGKILL);
    (void)launcher_->waitFor(5s);
  }
  EndDescendants(-1);
}

void NamespacedDesktop::start(const std::vector<std::string>& compositor, const Environment& environment,
                              const std::string& waylandDisplay) {
  waylandDisplay_ = waylandDisplay;
  std::vector<std::string> argv = {"env", "-i"};
  for (const auto& [name, value] : environment) argv.push_back(name + "=" + value);
  argv.insert(argv.end(), {"sh", QUORREL_DESKTOP_LAUNCHER, root_.path()});
  argv.insert(argv.end(), compositor.begin(), compositor.end());
  launcher_ = std::make_unique<ChildProcess>(argv);
  const std::string socket = runtimeDir_ + "/" + waylandDisplay;
  if (!WaitUntil([&] { return !launcher_->running() || fs::exists(socket); }, 30s) || !launcher_->running()) {
    throw std::runtime_error("the compositor did not start:\n" + logTail());
  }
}

bool NamespacedDesktop::running() { return launcher_ && launcher_->running(); }

Environment NamespacedDesktop::compositorEnvironment() const {
  return {{"PATH", "/usr/local/bin:/usr/bin:/bin"},
          {"HOME", home_},
          {"XDG_CONFIG_HOME", home_},
          {"XDG_RUNTIME_DIR", runtimeDir_}};
}

Environment NamespacedDesktop::sessionEnvironment() const {
  Environment environment = compositorEnvironment();
  environment.insert({{"XDG_SESSION_TYPE", "wayland"},
                      {"WAYLAND_DISPLAY", waylandDisplay_},
                      {"DBUS_SESSION_BUS_ADDRESS", sessionBus()},
                      {"DBUS_SYSTEM_BUS_ADDRESS", systemBus()}});
  environment.insert(kDesktopLocale.begin(), kDesktopLocale.end());
  // The show reaches the test's sound server, as it would the session's.
  if (const char* pulse = std::getenv("PULSE_SERVER")) environment["PULSE_SERVER"] = pulse;
  if (!xDisplay_.empty()) environment["DISPLAY"] = xDisplay_;
  if (!xAuthority_.empty()) environment["XAUTHORITY"] = xAuthority_;
  return environment;
}

std::string NamespacedDesktop::waitForXDisplay(std::chrono::milliseconds timeout) {
  const bool answers = WaitUntil(
      [&] {
        const std::string sockets = runInside({"ls", "/tmp/.X11-unix"}).output;
        const auto at = sockets.find('X');
        if (at == std::string::npos) return false;
        xDisplay_ = ":" + sockets.substr(at + 1, sockets.find_first_of("\n ", at) - at - 1);
        return runInside({"xdpyinfo"}).exitStatus == 0;
      },
      timeout);
  if (!answers) throw std::runtime_error("the compositor's XWayland does not answer:\n" + logTail());
  return xDisplay_;
}

std::vector<std::string> NamespacedDesktop::inside(const std::vector<std::string>& argv,
                                                   const Environment& extra) const {
  // nsenter execs the program itself: without a new process namespace it
  // needs no child of its own.
  std::vector<std::string> command = {"nsenter", "-t", std::to_string(launcher_->pid()), "-m", "-n", "--", "env", "-i"};
  Environment environment = sessionEnvironment();
  for (const auto& [name, value] : extra) environment[name] = value;
  for (const auto& [name, value] : environment) command.push_back(name + "=" + value);
  command.insert(command.end(), argv.begin(), argv.end());
  return command;
}

std::unique_ptr<ChildProcess> NamespacedDesktop::startInside(const std::vector<std::string>& argv,
                                                             const Environment& extra, const std::string& errorLog) {
  std::vector<std::string> program = argv;
  if (!errorLog.empty()) {
    program.insert(program.begin(), {"sh", "-c", "log=$1; shift; exec \"$@\" 2>>\"$log\"", "sh", errorLog});
  }
  return std::make_unique<ChildProcess>(inside(program, extra));
}

ProcessResult NamespacedDesktop::runInside(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
  return RunProcess(inside(argv, {}), timeout);
}

ProcessResult NamespacedDesktop::runOutside(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
  std::vector<std::string> command = {"env", "-i"};
  for (const auto& [name, value] : sessionEnvironment()) command.push_back(name + "=" + value);
  command.insert(command.end(), argv.begin(), argv.end());
  return RunProcess(command, timeout);
}

std::string NamespacedDesktop::logTail() const {
  const std::string log = ReadFile(root_.file("desktop.log"));
  return log.size() > 4000 ? log.substr(log.size() - 4000) : log;
}

std::vector<pid_t> RunningShows(const std::string& program) {
  std::vector<pid_t> shows;
  for (const pid_t pid : LiveSavers(program)) {
    const std::vector<std::string> arguments = commandLineOf(pid);
    if (arguments.size() >= 2 && arguments[1] == "/S") shows.push_back(pid);
  }
  return shows;
}

}  // namespace quorrel::test
