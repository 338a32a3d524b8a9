#include "tests/linux/wayland/sway_session.h"

#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;

std::string socketIn(const std::string& folder, const std::string& prefix, const std::string& suffix) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && name.ends_with(suffix) && entry.is_socket(ec)) return entry.path().string();
  }
  return {};
}

Box boxOf(const QJsonObject& rect) {
  return {rect["x"].toInt(), rect["y"].toInt(), rect["width"].toInt(), rect["height"].toInt()};
}

void collectViews(const QJsonObject& node, std::vector<SwayView>& views) {
  const QString type = node["type"].toString();
  if (node.contains("pid") && (type == "con" || type == "floating_con")) {
    SwayView view;
    view.appId = node["app_id"].toString().toStdString();
    view.windowClass = node["window_properties"].toObject()["class"].toString().toStdString();
    view.pid = node["pid"].toInt(-1);
    view.fullScreen = node["fullscreen_mode"].toInt() == 1;
    view.focused = node["focused"].toBool();
    view.rect = boxOf(node["rect"].toObject());
    views.push_back(view);
  }
  for (const char* children : {"nodes", "floating_nodes"}) {
    for (const QJsonValue child : node[children].toArray()) collectViews(child.toObject(), views);
  }
}

// grim's binary PPM ("P6", width, height, 255, then RGB) as 32-bit pixels,
// blue first.
Screenshot decodePpm(const std::string& ppm) {
  std::istringstream header(ppm);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  header >> magic >> width >> height >> maximum;
  const auto start = static_cast<std::size_t>(header.tellg()) + 1;
  const auto count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (magic != "P6" || maximum != 255 || ppm.size() < start + count * 3) {
    throw std::runtime_error("grim gave no picture");
  }
  std::vector<std::uint8_t> pixels(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    pixels[i * 4] = static_cast<std::uint8_t>(ppm[start + i * 3 + 2]);
    pixels[i * 4 + 1] = static_cast<std::uint8_t>(ppm[start + i * 3 + 1]);
    pixels[i * 4 + 2] = static_cast<std::uint8_t>(ppm[start + i * 3]);
  }
  return Screenshot(width, height, std::move(pixels));
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const SwayView& view) {
  return out << (view.appId.empty() ? view.windowClass : view.appId) << " (pid " << view.pid << "): " << view.rect
             << (view.fullScreen ? ", full screen" : ", not full screen") << (view.focused ? ", focused" : "");
}

std::optional<SwayView> FindView(const std::vector<SwayView>& views, const std::string& name) {
  for (const SwayView& view : views) {
    if (view.appId == name || view.windowClass == name) return view;
  }
  return std::nullopt;
}

bool ProcessGone(pid_t pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const auto afterName = stat.rfind(')');
  return afterName == std::string::npos || stat.compare(afterName, 3, ") Z") == 0;
}

SwaySession::SwaySession(int width, int height) {
  const char* user = std::getenv("QUORREL_TEST_USER");
  user_ = user != nullptr ? user : "";
  if (::geteuid() == 0 && user_.empty()) {
    throw std::runtime_error("sway does not run as root: set QUORREL_TEST_USER to an ordinary user (tools/test does)");
  }
  // The user that sway runs as goes through this folder to its own.
  std::filesystem::permissions(root_.path(), std::filesystem::perms::others_exec | std::filesystem::perms::group_exec,
                               std::filesystem::perm_options::add);
  home_ = root_.file("home");
  runtimeDir_ = root_.file("runtime");
  std::filesystem::create_directory(home_);
  std::filesystem::create_directory(runtimeDir_);
  std::filesystem::permissions(runtimeDir_, std::filesystem::perms::owner_all);
  const std::string config = root_.file("sway.conf");
  WriteFile(config, "output HEADLESS-1 mode " + std::to_string(width) + "x" + std::to_string(height) +
                        "\n"
                        "default_border normal\n"
                        "focus_follows_mouse no\n");
  giveHomeToUser();

  std::vector<std::string> argv = {"sh",
                                   QUORREL_SWAY_LAUNCHER,
                                   root_.file("sway.log"),
                                   user_,
                                   config,
                                   "PATH=/usr/local/bin:/usr/bin:/bin",
                                   "HOME=" + home_,
                                   "XDG_CONFIG_HOME=" + home_,
                                   "XDG_RUNTIME_DIR=" + runtimeDir_,
                                   "WLR_BACKENDS=headless",
                                   "WLR_LIBINPUT_NO_DEVICES=1",
                                   "WLR_RENDERER=pixman"};
  // A desktop's locale, as the other end-to-end tests give the show.
  for (const auto& [name, value] : kDesktopLocale) argv.push_back(name + "=" + value);
  // The show reaches the test's sound server, as it would the session's.
  if (const char* pulse = std::getenv("PULSE_SERVER")) argv.push_back(std::string("PULSE_SERVER=") + pulse);
  sway_ = std::make_unique<ChildProcess>(argv);

  const bool answers = WaitUntil(
      [this] {
        if (!sway_->running()) return true;
        swaySocket_ = socketIn(runtimeDir_, "sway-ipc.", ".sock");
        const std::string wayland = socketIn(runtimeDir_, "wayland-", "");
        waylandDisplay_ = std::filesystem::path(wayland).filename().string();
        return !swaySocket_.empty() && !waylandDisplay_.empty() &&
               client({"swaymsg", "-t", "get_outputs"}).exitStatus == 0;
      },
      20s);
  if (!answers || !sway_->running()) throw std::runtime_error("sway did not start:\n" + logTail());
}

SwaySession::~SwaySession() {
  if (sway_->running()) (void)client({"swaymsg", "exit"});
  if (!sway_->waitFor(10s)) sway_->signal(SIGKILL);
  (void)sway_->waitFor(10s);
}

std::string SwaySession::reachable(const std::string& file) {
  const std::string copy = root_.file(std::filesystem::path(file).filename().string());
  // Copied once: a copy that a show still runs from cannot be replaced.
  std::filesystem::copy_file(file, copy, std::filesystem::copy_options::skip_existing);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                         std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                         std::filesystem::perms::others_exec);
  return copy;
}

void SwaySession::giveHomeToUser() {
  if (::geteuid() != 0) return;
  for (const std::string& folder : {home_, runtimeDir_}) {
    const ProcessResult r = RunProcess({"chown", "-R", user_ + ":", folder});
    if (r.exitStatus != 0) throw std::runtime_error("chown failed: " + r.output);
  }
}

ProcessResult SwaySession::client(std::vector<std::string> argv, std::chrono::milliseconds timeout) {
  argv.insert(argv.begin(), {"env", "XDG_RUNTIME_DIR=" + runtimeDir_, "WAYLAND_DISPLAY=" + waylandDisplay_,
                             "SWAYSOCK=" + swaySocket_});
  return RunProcess(argv, timeout);
}

void SwaySession::command(const std::string& command) {
  const ProcessResult r = client({"swaymsg", command});
  if (r.exitStatus != 0) throw std::runtime_error("swaymsg " + command + " failed: " + r.output);
}

std::vector<SwayView> SwaySession::views() {
  const ProcessResult r = client({"swaymsg", "-r", "-t", "get_tree"});
  if (r.exitStatus != 0) throw std::runtime_error("swaymsg get_tree failed: " + r.output);
  std::vector<SwayView> views;
  collectViews(QJsonDocument::fromJson(QByteArray::fromStdString(r.output)).object(), views);
  return views;
}

Screenshot SwaySession::screenshot() {
  const std::string file = root_.file("screenshot.ppm");
  const ProcessResult r = client({"grim", "-t", "ppm", file});
  if (r.exitStatus != 0) throw std::runtime_error("grim failed: " + r.output);
  return decodePpm(ReadFile(file));
}

void SwaySession::pressKey(const std::string& key) {
  // wtype makes a new virtual keyboard each time, and sway hands its
  // keymap to the focused client right before the key. XWayland applies a
  // new keymap in its own time and drops keys that come within moments of
  // it (xev saw about one press in three and one release in thirty go
  // missing), so wtype waits a little between the keymap and the key, as
  // a native Wayland client needs it to as well. A physical keyboard keeps
  // its keymap, so this concerns the tool, not what a user presses.
  const ProcessResult r = client({"wtype", "-s", "300", "-k", key});
  if (r.exitStatus != 0) throw std::runtime_error("wtype failed: " + r.output);
}

std::string SwaySession::logTail() const {
  const std::string log = ReadFile(root_.file("sway.log"));
  return log.size() > 4000 ? log.substr(log.size() - 4000) : log;
}

}  // namespace quorrel::test
