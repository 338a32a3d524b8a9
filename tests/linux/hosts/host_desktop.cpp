#include "tests/linux/hosts/host_desktop.h"

#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Plays the first listed video into the host's window, as Quorrel's hosted
// mode would, so that the tests' handling of each host can be checked
// before and apart from Quorrel's own.
constexpr const char* kStandIn = R"(#!/bin/sh
window=$XSCREENSAVER_WINDOW
while [ $# -gt 0 ]; do
  case $1 in --window-id|-window-id) window=$2; shift ;; esac
  shift
done
video=$(sed -n 's/^Name1=//p' "${XDG_CONFIG_HOME:-$HOME/.config}/Quorrel/quorrel4.ini" | head -n 1)
exec mpv --no-config --really-quiet --no-input-default-bindings --wid="$window" --vo=gpu --gpu-context=x11egl \
  --keepaspect=no --loop=inf "$video"
)";

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string makeFolder(const std::string& pattern, mode_t mode) {
  std::string path = pattern;
  if (mkdtemp(path.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  fs::permissions(path, static_cast<fs::perms>(mode));
  return path;
}

Saver makeSaver() {
  Saver saver;
  static const TempDir root;
  fs::permissions(root.path(), static_cast<fs::perms>(0755));
  saver.root = root.path();
  const ProcessResult install = RunProcess(
      {"env", "DESTDIR=" + root.path(), "cmake", "--install", QUORREL_BUILD_DIR, "--prefix", "/usr"}, 2min);
  if (install.exitStatus != 0) throw std::runtime_error("cmake --install failed: " + install.output);
  if (std::getenv("QUORREL_HOSTS_STAND_IN") != nullptr) {
    fs::create_directories(root.file("stand-in"));
    saver.path = root.file("stand-in/quorrel");
    WriteFile(saver.path, kStandIn);
    fs::permissions(saver.path, static_cast<fs::perms>(0755));
    saver.program = fs::canonical(trimmed(RunProcess({"/bin/sh", "-c", "command -v mpv"}).output));
    std::fprintf(stderr, "The hosts run the mpv stand-in, not Quorrel (QUORREL_HOSTS_STAND_IN is set).\n");
  } else {
    saver.path = root.file("usr/libexec/xscreensaver/quorrel");
    saver.program = fs::canonical(saver.path);
  }
  return saver;
}

}  // namespace

const Saver& SaverUnderTest() {
  static const Saver saver = makeSaver();
  return saver;
}

MonitorDisplay::MonitorDisplay(int monitorWidth, int monitorHeight, int monitorCount) {
  const std::string numberFile = scratch_.file("display");
  const std::string size = std::to_string(monitorWidth * monitorCount) + "x" + std::to_string(monitorHeight);
  // Xvfb's lock makes a taken number fail at once, so test runs never race
  // for one; the numbers start high, above those that desktops and
  // compositors pick for themselves.
  for (int number = 140; number < 240 && name_.empty(); ++number) {
    server_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "/bin/sh", "-c",
        "exec Xvfb :" + std::to_string(number) + " -displayfd 3 -screen 0 " + size +
            "x24 -nolisten tcp -noreset 3>\"$0\" 2>\"$1\"",
        numberFile, scratch_.file("xvfb.log")});
    if (WaitUntil([&] { return ReadFile(numberFile).find('\n') != std::string::npos || !server_->running(); }, 20s) &&
        server_->running()) {
      name_ = ":" + std::to_string(number);
    }
  }
  if (name_.empty()) throw std::runtime_error("Xvfb did not start: " + ReadFile(scratch_.file("xvfb.log")));
  // Millimetres at 96 pixels per inch.
  const auto physical = [](int pixels) { return std::to_string(pixels) + "/" + std::to_string(pixels * 254 / 960); };
  for (int n = 0; n < monitorCount; ++n) {
    monitors_.push_back(Box{n * monitorWidth, 0, monitorWidth, monitorHeight});
    // A leading star makes the monitor primary; the first takes over
    // Xvfb's only output, the others have none.
    const std::string name = (n == 0 ? "*M" : "M") + std::to_string(n);
    const std::string geometry =
        physical(monitorWidth) + "x" + physical(monitorHeight) + "+" + std::to_string(n * monitorWidth) + "+0";
    const ProcessResult r = RunProcess(
        {"env", "DISPLAY=" + name_, "xrandr", "--setmonitor", name, geometry, n == 0 ? "screen" : "none"});
    if (r.exitStatus != 0) throw std::runtime_error("xrandr --setmonitor failed: " + r.output);
  }
}

MonitorDisplay::~MonitorDisplay() {
  server_->signal(SIGTERM);
  (void)server_->waitFor(5s);
}

HostSession::HostSession(const MonitorDisplay& display) : display_(display) {
  AdoptOrphans();
  const Saver& saver = SaverUnderTest();
  folder_ = makeFolder(saver.root + "/session-XXXXXX", 0755);
  home_ = folder_ + "/home";
  runtime_ = folder_ + "/runtime";
  log_ = folder_ + "/hosts.log";
  fs::create_directories(home_ + "/.config");
  fs::create_directory(runtime_);
  fs::permissions(runtime_, static_cast<fs::perms>(0700));
  WriteFile(log_, "");
  // mate-screensaver runs savers only from its folders; the saver is
  // linked there by its full path, since the installed link is relative.
  fs::create_directory(folder_ + "/savers");
  fs::create_symlink(saver.path, folder_ + "/savers/quorrel");
  fs::create_directory(folder_ + "/media");
  const TestUser& user = TestUser::get();
  user.own(home_);
  user.own(runtime_);
  user.own(log_);
}

HostSession::~HostSession() {
  for (auto& process : processes_) {
    if (process->running()) process->signal(SIGKILL);
    (void)process->waitFor(5s);
  }
  processes_.clear();
  EndDescendants(display_.serverPid());
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

void HostSession::settings(const std::string& options, const std::vector<std::string>& videos,
                           const std::string& sound) const {
  WriteSettings(home_ + "/.config", options, videos, sound);
  TestUser::get().own(home_);
}

std::string HostSession::media(const std::string& file) const {
  const std::string copy = folder_ + "/media/" + fs::path(file).filename().string();
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
  fs::permissions(copy, static_cast<fs::perms>(0644));
  return copy;
}

void HostSession::writeHomeFile(const std::string& relativePath, const std::string& contents) const {
  const fs::path path = fs::path(home_) / relativePath;
  fs::create_directories(path.parent_path());
  WriteFile(path, contents);
  TestUser::get().own(home_);
}

Environment HostSession::environment(const Environment& extra) const {
  Environment environment = {{"DISPLAY", display_.name()},
                             {"HOME", home_},
                             {"XDG_CONFIG_HOME", home_ + "/.config"},
                             {"XDG_RUNTIME_DIR", runtime_},
                             {"PATH", "/usr/local/bin:/usr/bin:/bin"},
                             {"LANG", "C.UTF-8"}};
  if (const char* pulse = std::getenv("PULSE_SERVER")) environment["PULSE_SERVER"] = pulse;
  for (const auto& [key, value] : extra) environment[key] = value;
  return environment;
}

ChildProcess& HostSession::start(const std::vector<std::string>& argv, const Environment& extra) {
  processes_.push_back(std::make_unique<ChildProcess>(TestUser::get().command(argv, environment(extra), log_)));
  return *processes_.back();
}

ChildProcess& HostSession::startWithSaverFolder(const std::vector<std::string>& argv, const Environment& extra) {
  processes_.push_back(std::make_unique<ChildProcess>(
      TestUser::get().commandWithSaverFolder(folder_ + "/savers", argv, environment(extra), log_)));
  return *processes_.back();
}

bool HostSession::canMountSaverFolder() const {
  static const bool can =
      RunProcess(TestUser::get().commandWithSaverFolder(folder_ + "/savers", {"true"}, environment(), log_))
          .exitStatus == 0;
  return can;
}

int HostSession::run(const std::vector<std::string>& argv, const Environment& extra,
                     std::chrono::milliseconds timeout) const {
  return RunProcess(TestUser::get().command(argv, environment(extra), log_), timeout).exitStatus;
}

std::optional<Box> SaverWindow(const std::string& display, pid_t saver) {
  std::istringstream environ(ReadFile("/proc/" + std::to_string(saver) + "/environ"));
  std::string entry;
  unsigned long window = 0;
  while (std::getline(environ, entry, '\0')) {
    if (entry.rfind("XSCREENSAVER_WINDOW=", 0) == 0) window = std::strtoul(entry.c_str() + 20, nullptr, 0);
  }
  if (window == 0) return std::nullopt;
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  std::optional<Box> box;
  const auto id = static_cast<xcb_window_t>(window);
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
  if (geometry != nullptr) {
    xcb_translate_coordinates_reply_t* place =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr);
    if (place != nullptr) box = Box{place->dst_x, place->dst_y, geometry->width, geometry->height};
    std::free(place);
  }
  std::free(geometry);
  xcb_disconnect(c);
  return box;
}

int MonitorOf(const std::vector<Box>& monitors, const Box& box) {
  const int x = box.left + box.width / 2;
  const int y = box.top + box.height / 2;
  for (std::size_t n = 0; n < monitors.size(); ++n) {
    const Box& m = monitors[n];
    if (x >= m.left && x < m.left + m.width && y >= m.top && y < m.top + m.height) return static_cast<int>(n);
  }
  return -1;
}

std::vector<Seen> MonitorColours(const std::string& display, const std::vector<Box>& monitors) {
  const Screenshot screen(display);
  std::vector<Seen> colours;
  for (const Box& m : monitors) colours.push_back(Classify(screen.at(m.left + m.width / 2, m.top + m.height / 2)));
  return colours;
}

std::string Tail(const std::string& path, std::size_t lines) {
  const std::string text = ReadFile(path);
  std::size_t start = text.size();
  for (std::size_t seen = 0; start > 0; ++seen) {
    const std::size_t newline = text.rfind('\n', start - 1);
    if (newline == std::string::npos) return text;
    if (seen > lines) return text.substr(newline + 1);
    start = newline;
  }
  return text;
}

}  // namespace quorrel::test
