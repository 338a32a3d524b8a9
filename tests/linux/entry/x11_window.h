#pragma once

#include <xcb/xcb.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace quorrel::test {

// A top-level X window made with raw xcb, with the class and title a test
// chooses, for the show-window lookup to find or to pass over.
class X11Window {
 public:
  X11Window(const std::string& instanceAndClass, const std::string& title, bool mapped = true) {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) != 0) throw std::runtime_error("no X display");
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 10, 10, 100, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    if (!instanceAndClass.empty()) {
      xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                          static_cast<std::uint32_t>(instanceAndClass.size()), instanceAndClass.data());
    }
    if (!title.empty()) {
      xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                          static_cast<std::uint32_t>(title.size()), title.data());
    }
    if (mapped) xcb_map_window(connection_, window_);
    sync();
  }
  ~X11Window() {
    xcb_destroy_window(connection_, window_);
    sync();
    xcb_disconnect(connection_);
  }
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

 private:
  // Waits until the server has carried out every request sent so far.
  void sync() { std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t window_ = 0;
};

// WM_CLASS holds the instance and the class, each ending in a NUL.
inline std::string WmClass(const std::string& instance, const std::string& className) {
  return instance + std::string(1, '\0') + className + std::string(1, '\0');
}

}  // namespace quorrel::test
