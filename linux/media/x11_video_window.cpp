#include "linux/media/x11_video_window.h"

#include <algorithm>
#include <cstdlib>

#include "linux/base/xcb_screen.h"

namespace quorrel::linux_desktop {

namespace {

// X11 coordinates are 16-bit; larger numbers would wrap around.
std::int16_t coordinate(std::int32_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767));
}

std::uint16_t extent(std::int32_t value) {
  return static_cast<std::uint16_t>(std::clamp<std::int32_t>(value, 1, 32767));
}

bool succeeded(xcb_connection_t* connection, xcb_void_cookie_t cookie) {
  xcb_generic_error_t* error = xcb_request_check(connection, cookie);
  if (error == nullptr) return true;
  std::free(error);
  return false;
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::Open() {
  const XcbScreen display = ConnectToScreen(nullptr);
  if (display.connection == nullptr) return nullptr;
  return std::unique_ptr<X11Connection>(new X11Connection(display.connection, display.screen));
}

X11Connection::~X11Connection() { xcb_disconnect(connection_); }

void X11Connection::flush() {
  xcb_flush(connection_);
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
}

std::unique_ptr<VideoWindow> VideoWindow::Create(X11Connection& x11) {
  xcb_connection_t* c = x11.get();
  const xcb_window_t window = xcb_generate_id(c);
  // Black until the first frame arrives, and no event mask: the window
  // takes no input from anyone. Override-redirect, because it waits on the
  // root window between files: a window manager would otherwise take its
  // moves and resizes there for requests of its own to grant later, and
  // grant them after the window had moved into its display window, undoing
  // the size it was given there.
  const std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT;
  const std::uint32_t values[] = {x11.screen()->black_pixel, 1};
  const xcb_void_cookie_t cookie =
      xcb_create_window_checked(c, XCB_COPY_FROM_PARENT, window, x11.screen()->root, 0, 0, 1, 1, 0,
                                XCB_WINDOW_CLASS_INPUT_OUTPUT, x11.screen()->root_visual, mask, values);
  if (!succeeded(c, cookie)) return nullptr;
  return std::unique_ptr<VideoWindow>(new VideoWindow(x11, window));
}

VideoWindow::~VideoWindow() {
  // Waiting for the server's answer means the window is gone from the
  // display window by the time close returns. The display window may
  // already be gone, and this window with it; that error is ignored.
  (void)succeeded(x11_.get(), xcb_destroy_window_checked(x11_.get(), window_));
  x11_.flush();
}

bool VideoWindow::attach(NativeWindow parent, const Rect& placement) {
  xcb_connection_t* c = x11_.get();
  const auto parentWindow = static_cast<xcb_window_t>(parent);
  if (parentWindow == 0 || parentWindow != parent) return false;
  // Reparenting a mapped window unmaps and maps it, and the picture would
  // be drawn again; in the window it is in already, it is only placed.
  if (!attached_ || parentWindow != parent_) {
    if (!succeeded(c, xcb_reparent_window_checked(c, window_, parentWindow, 0, 0))) return false;
    attached_ = true;
    parent_ = parentWindow;
  }
  return place(placement);
}

bool VideoWindow::detach() {
  xcb_connection_t* c = x11_.get();
  attached_ = false;
  parent_ = 0;
  placed_ = false;
  // Unmapped first, so that it does not show for a moment as a window of
  // its own when it arrives on the root window.
  xcb_unmap_window(c, window_);
  const bool moved = succeeded(c, xcb_reparent_window_checked(c, window_, x11_.screen()->root, 0, 0));
  x11_.flush();
  return moved;
}

Rect VideoWindow::withinParent(const Rect& placement) const {
  if (placement.empty()) return placement;
  // Still on the root window, where it stays unmapped, it is cut to the
  // screen all the same.
  xcb_connection_t* c = x11_.get();
  const xcb_window_t parentWindow = attached_ ? parent_ : x11_.screen()->root;
  xcb_get_geometry_reply_t* parent = xcb_get_geometry_reply(c, xcb_get_geometry(c, parentWindow), nullptr);
  if (parent == nullptr) return placement;
  const Rect area{0, 0, parent->width, parent->height};
  std::free(parent);
  return Contains(area, placement) ? placement : Intersection(area, placement);
}

bool VideoWindow::place(const Rect& placement) {
  xcb_connection_t* c = x11_.get();
  const Rect shown = withinParent(placement);
  if (shown.empty()) {
    xcb_unmap_window(c, window_);
  } else {
    const std::uint32_t values[] = {
        static_cast<std::uint32_t>(static_cast<std::int32_t>(coordinate(shown.left))),
        static_cast<std::uint32_t>(static_cast<std::int32_t>(coordinate(shown.top))),
        extent(shown.width),
        extent(shown.height),
    };
    const xcb_void_cookie_t cookie = xcb_configure_window_checked(
        c, window_, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
        values);
    if (!succeeded(c, cookie)) return false;
  }
  placed_ = true;
  placement_ = placement;
  shown_ = shown;
  if (shown.empty()) {
    x11_.flush();
    return true;
  }
  // A window that is still on the root stays unmapped: it must never
  // appear as a window of its own.
  if (attached_) xcb_map_window(c, window_);
  x11_.flush();
  return true;
}

bool VideoWindow::placement(Rect& placement) {
  // Asked of the server all the same: a window destroyed with its display
  // window has no placement any more.
  xcb_connection_t* c = x11_.get();
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window_), nullptr);
  if (geometry == nullptr) return false;
  placement = placed_ ? placement_ : Rect{geometry->x, geometry->y, geometry->width, geometry->height};
  std::free(geometry);
  return true;
}

bool VideoWindow::exists() {
  xcb_connection_t* c = x11_.get();
  xcb_get_window_attributes_reply_t* attributes =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window_), nullptr);
  if (attributes == nullptr) return false;
  std::free(attributes);
  return true;
}

}  // namespace quorrel::linux_desktop
