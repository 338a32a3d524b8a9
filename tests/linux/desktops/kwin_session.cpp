#include "tests/linux/desktops/kwin_session.h"

#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "tests/linux/desktops/screen_picture.h"

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const QString kScreenShot = QStringLiteral("org.kde.KWin.ScreenShot2");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPowerInhibit = QStringLiteral("org.freedesktop.PowerManagement.Inhibit");

struct FileDescriptor {
  explicit FileDescriptor(int descriptor) : fd(descriptor) {}
  ~FileDescriptor() { ::close(fd); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int fd;
};

// Everything a pipe carries until its writer closes it.
std::string readToEnd(int fd, std::chrono::milliseconds timeout) {
  std::string data;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char buffer[65536];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, 200) <= 0) continue;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return data;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  throw std::runtime_error("KWin did not finish writing the screenshot");
}

}  // namespace

KWinSession::KWinSession(int width, int height) {
  // The installed kwin_wayland carries a file capability that exec refuses
  // in containers; a plain copy runs.
  const std::string kwin = desktop_.file("kwin_wayland");
  fs::copy_file("/usr/bin/kwin_wayland", kwin);
  Environment environment = desktop_.compositorEnvironment();
  // No one is there to allow the test's input and screenshots, and
  // screenshots need OpenGL compositing.
  environment.insert({{"KWIN_WAYLAND_NO_PERMISSION_CHECKS", "1"},
                      {"KWIN_SCREENSHOT_NO_PERMISSION_CHECKS", "1"},
                      {"KWIN_COMPOSE", "O2"}});
  desktop_.start({kwin, "--virtual", "--xwayland", "--width", std::to_string(width), "--height", std::to_string(height),
                  "--socket", "wayland-quorrel"},
                 environment, "wayland-quorrel");
  bus_ = std::make_unique<SessionBus>(desktop_.sessionBus());
  if (!WaitUntil([&] { return !desktop_.running() || bus_->hasOwner(kScreenShot); }, 30s) || !desktop_.running()) {
    throw std::runtime_error("KWin does not answer:\n" + desktop_.logTail());
  }
  desktop_.waitForXDisplay(30s);
  startPowerdevil();
}

void KWinSession::startPowerdevil() {
  // powerdevil is a Qt 5 program, whose Wayland platform plugin these
  // tests do not install; it reaches the session through XWayland instead.
  powerdevil_ = desktop_.startInside({QUORREL_POWERDEVIL}, {{"QT_QPA_PLATFORM", "xcb"}}, desktop_.file("desktop.log"));
  const bool answers = WaitUntil(
      [&] {
        return !powerdevil_->running() ||
               bus_->answers(kPowerInhibit, "/org/freedesktop/PowerManagement/Inhibit", kPowerInhibit, "HasInhibit");
      },
      30s);
  if (!answers || !powerdevil_->running())
    throw std::runtime_error("powerdevil does not answer:\n" + desktop_.logTail());
}

bool KWinSession::inhibitionReported() {
  return bus_->call(kPowerInhibit, "/org/freedesktop/PowerManagement/Inhibit", kPowerInhibit, "HasInhibit")
      .value(0)
      .toBool();
}

bool KWinSession::lock() {
  bus_->call(kScreenSaver, "/org/freedesktop/ScreenSaver", kScreenSaver, "Lock");
  return true;
}

bool KWinSession::locked() {
  return bus_->call(kScreenSaver, "/org/freedesktop/ScreenSaver", kScreenSaver, "GetActive").value(0).toBool();
}

void KWinSession::pressSpace() {
  const ProcessResult r = desktop_.runOutside({QUORREL_KWIN_FAKE_INPUT, "key", std::to_string(KEY_SPACE)});
  if (r.exitStatus != 0) throw std::runtime_error("kwin_fake_input failed: " + r.output);
}

Screenshot KWinSession::screenshot() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const FileDescriptor reading(ends[0]);
  std::optional<FileDescriptor> writing(ends[1]);
  // KWin answers first and writes the picture into the pipe afterwards,
  // into its own copy of the writing end.
  const QList<QVariant> reply = bus_->call(kScreenShot, "/org/kde/KWin/ScreenShot2", kScreenShot, "CaptureActiveScreen",
                                           {QVariantMap{}, QVariant::fromValue(QDBusUnixFileDescriptor(writing->fd))});
  writing.reset();
  const std::string data = readToEnd(reading.fd, 10s);
  const QVariantMap results = qdbus_cast<QVariantMap>(reply.value(0));
  const int width = results.value("width").toInt();
  const int height = results.value("height").toInt();
  const int stride = results.value("stride").toInt();
  const auto format = static_cast<QImage::Format>(results.value("format").toInt());
  if (width <= 0 || height <= 0 || data.size() < static_cast<std::size_t>(stride) * height) {
    throw std::runtime_error("KWin's screenshot is no picture");
  }
  return ScreenshotOf(QImage(reinterpret_cast<const uchar*>(data.data()), width, height, stride, format));
}

}  // namespace quorrel::test
