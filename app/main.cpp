#include <clocale>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/arguments.h"
#include "app/messages.h"
#include "app/modes.h"
#include "app/password_change.h"
#include "app/quorrel_application.h"
#include "app/x11_display.h"

// The process does one thing, chosen by its first argument, and always ends
// with status 0: a screen-saver host or idle tool has no use for a failure
// code, and the user sees every failure that matters in a message box.
int main(int argc, char** argv) {
  using namespace quorrel;
  try {
    // A running show refuses every start, whatever the argument.
    const DisplayProbe display = ProbeDisplay();
    if (display.showWindowOnScreen) return 0;

    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Mode mode = DecodeMode(arguments);
    if (mode == Mode::None) return 0;
    if (mode == Mode::ChangePassword) {
      RunPasswordChange(PlatformPasswordChangeService());
      return 0;
    }

    // mpv's window embedding and the show-window lookup speak X11, so Qt
    // runs on xcb (XWayland under Wayland) unless the user chose otherwise.
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    if (!display.reachable) return 0;

    SetApplicationTitle(TitleFromExecutable(argc > 0 ? argv[0] : "quorrel"));
    QuorrelApplication app(argc, argv);
    // Qt takes the whole locale from the environment; libmpv refuses to
    // start unless numbers are read and written the C way, so that part
    // alone goes back. Everything else of the user's locale stays.
    std::setlocale(LC_NUMERIC, "C");
    if (mode == Mode::Show) {
      RunShowMode(app);
    } else {
      RunConfigMode(app);
    }
  } catch (const std::exception&) {
    // Nothing is left to show it in; the mode has already ended.
  }
  return 0;
}
