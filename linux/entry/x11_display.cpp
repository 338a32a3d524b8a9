#include "linux/entry/x11_display.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "linux/base/xcb_reply.h"
#include "show/show_window_identity.h"

namespace quorrel::linux_desktop {

namespace {

using Connection = std::shared_ptr<xcb_connection_t>;

Connection connect(const char* displayName, int* screenNumber) {
  Connection c(xcb_connect(displayName, screenNumber), xcb_disconnect);
  if (!c || xcb_connection_has_error(c.get()) != 0) return nullptr;
  return c;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
  const auto reply = OwnReply(
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string stringProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
  if (property == XCB_ATOM_NONE) return {};
  const auto reply =
      OwnReply(xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 1024), nullptr));
  if (!reply || reply->format != 8) return {};
  const auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
  return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

struct Atoms {
  xcb_atom_t netWmName;
  xcb_atom_t utf8String;
};

bool isMapped(xcb_connection_t* c, xcb_window_t window) {
  const auto attributes = OwnReply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
  return attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
}

bool isShowWindow(xcb_connection_t* c, xcb_window_t window, const Atoms& atoms) {
  // WM_CLASS holds "instance\0class\0"; only the class counts.
  const std::string wmClass = stringProperty(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
  const auto split = wmClass.find('\0');
  if (split == std::string::npos) return false;
  std::string_view className = std::string_view(wmClass).substr(split + 1);
  if (!className.empty() && className.back() == '\0') className.remove_suffix(1);
  if (className != kShowWindowClass) return false;
  const std::string netName = stringProperty(c, window, atoms.netWmName, atoms.utf8String);
  if (netName != kShowWindowTitle && stringProperty(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING) != kShowWindowTitle) {
    return false;
  }
  // Only a show on screen counts: a window that was never mapped (as when
  // no monitor was active) takes no input and shows nothing.
  return isMapped(c, window);
}

// Top-level client windows are children of the root, or, under a
// reparenting window manager, children of its frame windows; two more
// levels below the root cover the window managers in use.
bool searchTree(xcb_connection_t* c, xcb_window_t parent, const Atoms& atoms, int depth) {
  const auto tree = OwnReply(xcb_query_tree_reply(c, xcb_query_tree(c, parent), nullptr));
  if (!tree) return false;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  const int count = xcb_query_tree_children_length(tree.get());
  for (int i = 0; i < count; ++i) {
    if (isShowWindow(c, children[i], atoms)) return true;
  }
  if (depth <= 1) return false;
  for (int i = 0; i < count; ++i) {
    if (searchTree(c, children[i], atoms, depth - 1)) return true;
  }
  return false;
}

}  // namespace

DisplayProbe ProbeDisplay(const char* displayName) {
  int screenNumber = 0;
  Connection c = connect(displayName, &screenNumber);
  if (!c) return {};
  const Atoms atoms{internAtom(c.get(), "_NET_WM_NAME"), internAtom(c.get(), "UTF8_STRING")};
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c.get()));
  bool found = false;
  for (; it.rem > 0 && !found; xcb_screen_next(&it)) found = searchTree(c.get(), it.data->root, atoms, 3);
  return {true, found, std::move(c)};
}

}  // namespace quorrel::linux_desktop
