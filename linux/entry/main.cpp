#include <sys/stat.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/messages.h"
#include "entry/arguments.h"
#include "entry/host_window.h"
#include "entry/password_change.h"
#include "linux/entry/application.h"
#include "linux/entry/modes.h"
#include "linux/entry/show_claim.h"
#include "linux/entry/x11_display.h"

namespace {

std::string NoDisplayText(const char* display) {
  if (display == nullptr || *display == '\0') return "no X display to show on: DISPLAY is not set";
  return std::string("the X display \"") + display + "\" cannot be reached";
}

// Without a session bus named in the environment, libdbus (which Qt's
// desktop integration uses) falls back to starting one with dbus-launch: a
// dbus-launch and a dbus-daemon that outlive Quorrel, and a ~/.dbus folder.
// Quorrel needs no bus, so it never starts one. The bus of a session under
// systemd, at $XDG_RUNTIME_DIR/bus, is still found where libdbus looks
// for it; with neither, the address names no transport, and every
// connection fails at once.
void NeverStartASessionBus() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0') return;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
    struct stat bus {};
    if (::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 && S_ISSOCK(bus.st_mode)) return;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

// The show is laid out in the screen's own pixels: the panel sizes, and one
// video pixel to one screen pixel at the natural size, also for the video's
// native window, which Qt does not scale. A desktop's scale (Xft.dpi 192 on
// a 2x screen, or QT_SCALE_FACTOR) would make Qt's pixels larger than the
// screen's, and the video would fill only part of the panel, so the show
// turns Qt's scaling off for itself. Message boxes still take their fonts'
// size from the desktop's DPI. The options dialog scales as Qt does.
void ShowInScreenPixels() {
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
  for (const char* scale :
       {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_DEVICE_PIXEL_RATIO"}) {
    unsetenv(scale);
  }
}

}  // namespace

// The process does one thing, chosen by its first argument, and always ends
// with status 0: a screen-saver host or idle tool has no use for a failure
// code, and the user sees every failure that matters in a message box.
int main(int argc, char** argv) {
  using namespace quorrel;
  using namespace quorrel::linux_desktop;
  try {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Mode mode = DecodeMode(arguments);

    // A running show refuses every start, whatever the argument, except a
    // screen-saver host's: hosts run one copy per monitor at once.
    const DisplayProbe display = ProbeDisplay();
    if (display.showWindowOnScreen && mode != Mode::Hosted) return 0;
    if (mode == Mode::None) return 0;
    if (mode == Mode::ChangePassword) {
      RunPasswordChange(PlatformPasswordChangeService());
      return 0;
    }

    // mpv's window embedding and the show-window lookup speak X11, so Qt
    // runs on xcb (XWayland under Wayland) unless the user chose otherwise.
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    NeverStartASessionBus();
    if (!display.reachable) {
      // Nothing can be shown, so the reason goes where idle tools, hosts
      // and the journal keep it.
      LogError(NoDisplayText(std::getenv("DISPLAY")));
      return 0;
    }

    // Two shows started at the same instant both find no show window; the
    // claim lets only one of them go on.
    std::unique_ptr<ShowClaim> showClaim;
    if (mode == Mode::Show) {
      showClaim = ShowClaim::Take();
      if (!showClaim) return 0;
    }

    HostWindowChoice host;
    if (mode == Mode::Hosted) {
      host = ChooseHostWindow(arguments, std::getenv("XSCREENSAVER_WINDOW"));
      if (!host.error.empty()) {
        LogError(host.error);
        return 0;
      }
    }

    if (mode == Mode::Show || mode == Mode::Hosted) ShowInScreenPixels();
    SetApplicationTitle(TitleFromExecutable(argc > 0 ? argv[0] : "quorrel"));
    Application app(argc, argv);
    // Qt takes the whole locale from the environment; libmpv refuses to
    // start unless numbers are read and written the C way, so that part
    // alone goes back. Everything else of the user's locale stays.
    std::setlocale(LC_NUMERIC, "C");
    if (mode == Mode::Show) {
      RunShowMode(app);
      // A show started as this one ends is not refused.
      showClaim.reset();
    } else if (mode == Mode::Hosted) {
      RunHostedShowMode(app, host.window);
    } else {
      RunConfigMode(app);
    }
  } catch (const std::exception& error) {
    // Nothing is left to show it in; the mode has already ended.
    LogError(error.what());
  }
  return 0;
}
