// The real show under the window managers of ordinary desktops, with a
// dock along the top of the screen as a panel would be: the show covers the
// dock too and takes the keys.

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// A blue dock along the top of the screen, 40 pixels high, that reserves
// its strip the way desktop panels do.
class Dock {
 public:
  explicit Dock(const std::string& display) : connection_(xcb_connect(display.c_str(), nullptr)) {
    if (xcb_connection_has_error(connection_) != 0) throw std::runtime_error("no X display " + display);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const std::uint32_t blue = 0x0000ff;
    window_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, screen->width_in_pixels, 40, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &blue);
    const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &dock);
    // Left, right, top and bottom, then the start and end of each.
    const std::uint32_t strut[12] = {0, 0, 40, 0, 0, 0, 0, 0, 0, screen->width_in_pixels - 1u, 0, 0};
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL,
                        32, 12, strut);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 32, 4,
                        strut);
    // Placed by the program, as panels place themselves: USPosition and
    // USSize, at the top left.
    std::uint32_t sizeHints[18] = {};
    sizeHints[0] = 1 | 2;
    sizeHints[3] = screen->width_in_pixels;
    sizeHints[4] = 40;
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS,
                        32, 18, sizeHints);
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
  }
  ~Dock() { xcb_disconnect(connection_); }

  // Asks for the dock to be mapped again. A window manager that is still
  // settling in now and then drops the first request.
  void mapAgain() {
    xcb_unmap_window(connection_, window_);
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
  }
  Dock(const Dock&) = delete;
  Dock& operator=(const Dock&) = delete;

 private:
  xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
  }

  xcb_connection_t* connection_;
  xcb_window_t window_ = 0;
};

// The window manager has started and has worked out the desktop's work
// area, the last thing both of them do before they manage new windows.
bool windowManagerRuns(const std::string& display) {
  const ProcessResult check =
      RunProcess({"xprop", "-display", display, "-root", "_NET_SUPPORTING_WM_CHECK", "_NET_WORKAREA"});
  return check.exitStatus == 0 && check.output.find("window id") != std::string::npos &&
         check.output.find("_NET_WORKAREA(CARDINAL)") != std::string::npos;
}

TEST(WindowManagers, theShowCoversTheDockAndEndsOnAKey) {
  const std::vector<std::vector<std::string>> managers = {{"openbox", "--sm-disable"},
                                                          {"xfwm4", "--compositor=off", "--sm-client-disable"}};
  for (const auto& manager : managers) {
    SCOPED_TRACE(manager.front());
    OwnXvfb desktop(1024, 768);
    ChildProcess windowManager(manager, {{"DISPLAY", desktop.display()}});
    ASSERT_TRUE(WaitUntil([&] { return windowManagerRuns(desktop.display()); }, 20s));
    Dock dock(desktop.display());
    // Wherever the window manager put the dock, it is on screen.
    bool docked = false;
    for (int attempt = 0; attempt < 4 && !docked; ++attempt) {
      if (attempt > 0) dock.mapAgain();
      docked = WaitUntil([&] { return Screenshot(desktop.display()).boundsOf(Seen::Blue).width == 1024; }, 3s);
    }
    ASSERT_TRUE(docked) << "the dock never came on screen";

    ShowRun show(desktop.display());
    show.settings("Picdis=1\nSound=0", {SolidClip("red", 320, 240, 60.0)});
    show.start();
    Box red;
    const bool covered =
        WaitUntil([&] { return (red = Screenshot(desktop.display()).boundsOf(Seen::Red)) == Box{0, 0, 1024, 768}; },
                  10s);
    EXPECT_TRUE(covered) << "the show covers " << red;
    EXPECT_EQ(Screenshot(desktop.display()).boundsOf(Seen::Blue), Box{}) << "the dock is above the show";
    Xdotool(desktop.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
    windowManager.signal(SIGTERM);
    (void)windowManager.waitFor(5s);
  }
}

}  // namespace
}  // namespace quorrel::test
