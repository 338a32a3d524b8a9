#include "linux/show/x11_host_window.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "linux/base/xcb_reply.h"

namespace quorrel::linux_desktop {

namespace {

constexpr std::uint32_t kInputEvents = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                       XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                       XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_MOTION |
                                       XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;

std::optional<std::uint32_t> selectedEvents(xcb_connection_t* connection, std::uint32_t window) {
  const auto attributes =
      OwnReply(xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
  if (!attributes) return std::nullopt;
  return attributes->your_event_mask;
}

}  // namespace

std::uint32_t RootWindowOf(xcb_connection_t* connection, std::uint32_t window) {
  const auto geometry = OwnReply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
  return geometry ? geometry->root : 0;
}

std::optional<Rect> WindowOnRoot(xcb_connection_t* connection, std::uint32_t window) {
  const auto geometry = OwnReply(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
  if (!geometry) return std::nullopt;
  const auto place = OwnReply(xcb_translate_coordinates_reply(
      connection, xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr));
  if (!place) return std::nullopt;
  return Rect{place->dst_x, place->dst_y, geometry->width, geometry->height};
}

bool WatchStructure(xcb_connection_t* connection, std::uint32_t window) {
  const std::optional<std::uint32_t> events = selectedEvents(connection, window);
  if (!events) return false;
  const std::uint32_t mask = *events | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
  return true;
}

void SelectNoInput(xcb_connection_t* connection, std::uint32_t window) {
  const std::optional<std::uint32_t> events = selectedEvents(connection, window);
  if (!events) return;
  const std::uint32_t mask = *events & ~kInputEvents;
  xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(connection);
}

}  // namespace quorrel::linux_desktop
