#include "tests/linux/desktops/gnome_shell_session.h"

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <filesystem>
#include <stdexcept>

#include "tests/linux/desktops/screen_picture.h"

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const QString kIdleMonitor = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kRemoteDesktop = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kSessionManager = QStringLiteral("org.gnome.SessionManager");
constexpr std::uint32_t kInhibitIdle = 8;
constexpr std::uint32_t kShiftKeysym = 0xffe1;

// A session of nothing but the screen-saver proxy: the session manager
// starts what it finds in the autostart folder it is given.
constexpr const char* kSessionFile = "[GNOME Session]\nName=Quorrel test\nRequiredComponents=\n";
constexpr const char* kScreenSaverProxy =
    "[Desktop Entry]\nType=Application\nName=GNOME FreeDesktop screensaver\n"
    "Exec=/usr/libexec/gsd-screensaver-proxy\nX-GNOME-Autostart-Phase=Initialization\n"
    "X-GNOME-Autostart-Notify=true\n";

}  // namespace

GnomeShellSession::GnomeShellSession(int width, int height) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  const Environment environment = desktop_.compositorEnvironment();
  // The shell greets a session without a display manager, and one of
  // root, with banners above every window, full-screen ones included, for
  // seconds; this user has chosen "Do Not Disturb".
  std::vector<std::string> settings = {"env", "-i"};
  for (const auto& [name, value] : environment) settings.push_back(name + "=" + value);
  settings.insert(settings.end(), {"dbus-run-session", "--", "gsettings", "set", "org.gnome.desktop.notifications",
                                   "show-banners", "false"});
  if (const ProcessResult set = RunProcess(settings); set.exitStatus != 0) {
    throw std::runtime_error("gsettings failed: " + set.output);
  }
  desktop_.start(
      {"gnome-shell", "--headless", "--wayland", "--virtual-monitor", size, "--wayland-display", "wayland-quorrel"},
      environment, "wayland-quorrel");
  bus_ = std::make_unique<SessionBus>(desktop_.sessionBus());
  const bool ready = WaitUntil(
      [&] {
        return !desktop_.running() ||
               bus_->answers(kIdleMonitor, "/org/gnome/Mutter/IdleMonitor/Core", kIdleMonitor, "GetIdletime");
      },
      30s);
  if (!ready || !desktop_.running()) throw std::runtime_error("GNOME Shell does not answer:\n" + desktop_.logTail());
  leaveOverview();
  startSessionManager();
  startRemoteDesktop();

  // Mutter lets only clients that know its XWayland's cookie in.
  const bool authority = WaitUntil(
      [&] {
        for (const auto& entry : fs::directory_iterator(desktop_.runtimeDir())) {
          if (!entry.path().filename().string().starts_with(".mutter-Xwaylandauth.")) continue;
          desktop_.setXAuthority(entry.path());
          return true;
        }
        return false;
      },
      30s);
  if (!authority) throw std::runtime_error("Mutter made no XWayland authority file:\n" + desktop_.logTail());
  desktop_.waitForXDisplay(30s);
}

void GnomeShellSession::leaveOverview() {
  // The shell opens the Overview, whose search box would take the keys and
  // whose thumbnails would stand for the windows, once its start-up is
  // done, which may be after it answers on the bus.
  const QString shell = QStringLiteral("org.gnome.Shell");
  const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
  const QString overview = QStringLiteral("OverviewActive");
  const auto overviewShown = [&] {
    return bus_->call(shell, "/org/gnome/Shell", properties, "Get", {shell, overview})
        .value(0)
        .value<QDBusVariant>()
        .variant()
        .toBool();
  };
  (void)WaitUntil(overviewShown, 10s);
  bus_->call(shell, "/org/gnome/Shell", properties, "Set", {shell, overview, QVariant::fromValue(QDBusVariant(false))});
  if (!WaitUntil([&] { return !overviewShown(); }, 10s)) throw std::runtime_error("the shell stays in its Overview");
}

void GnomeShellSession::startSessionManager() {
  const std::string share = desktop_.file("share");
  const std::string autostart = desktop_.file("autostart");
  fs::create_directories(share + "/gnome-session/sessions");
  fs::create_directories(autostart);
  WriteFile(share + "/gnome-session/sessions/quorrel-test.session", kSessionFile);
  WriteFile(autostart + "/org.gnome.SettingsDaemon.ScreensaverProxy.desktop", kScreenSaverProxy);
  sessionManager_ = desktop_.startInside({"gnome-session", "--builtin", "--session=quorrel-test",
                                          "--autostart=" + autostart, "--disable-acceleration-check"},
                                         {{"XDG_DATA_DIRS", share + ":/usr/share"}}, desktop_.file("desktop.log"));
  if (!WaitUntil([&] { return bus_->hasOwner(kSessionManager) && bus_->hasOwner(kScreenSaver); }, 30s)) {
    throw std::runtime_error("gnome-session and its screen-saver proxy do not answer:\n" + desktop_.logTail());
  }
}

Screenshot GnomeShellSession::screenshot() {
  // The shell takes screenshots only for GNOME's own screenshot tool, which
  // it knows by its bus name.
  static const QString tool = QStringLiteral("org.gnome.Screenshot");
  if (!bus_->hasOwner(tool)) bus_->own(tool);
  const std::string file = desktop_.file("screenshot.png");
  std::error_code ec;
  fs::remove(file, ec);
  const QList<QVariant> reply =
      bus_->call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot",
                 "Screenshot", {false, false, QString::fromStdString(file)});
  if (reply.isEmpty() || !reply.first().toBool()) throw std::runtime_error("the shell took no screenshot");
  return ScreenshotOf(QImage(QString::fromStdString(file)));
}

void GnomeShellSession::startRemoteDesktop() {
  const QList<QVariant> reply =
      bus_->call(kRemoteDesktop, "/org/gnome/Mutter/RemoteDesktop", kRemoteDesktop, "CreateSession");
  remoteDesktop_ = reply.value(0).value<QDBusObjectPath>().path();
  bus_->call(kRemoteDesktop, remoteDesktop_, kRemoteDesktop + ".Session", "Start");
  // Mutter loses the first key of every remote-desktop session; this one
  // goes in its place, before anything a test looks at.
  pressKey(kShiftKeysym);
}

void GnomeShellSession::pressKey(std::uint32_t keysym) {
  for (const bool down : {true, false}) {
    bus_->call(kRemoteDesktop, remoteDesktop_, kRemoteDesktop + ".Session", "NotifyKeyboardKeysym", {keysym, down});
  }
}

bool GnomeShellSession::inhibitionReported() {
  const QList<QVariant> reply =
      bus_->call(kSessionManager, "/org/gnome/SessionManager", kSessionManager, "IsInhibited", {kInhibitIdle});
  return reply.value(0).toBool();
}

}  // namespace quorrel::test
