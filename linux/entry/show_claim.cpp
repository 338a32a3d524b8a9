#include "linux/entry/show_claim.h"

#include <xcb/xcb.h>

#include <cstring>

#include "linux/base/xcb_reply.h"
#include "linux/base/xcb_screen.h"

namespace quorrel::linux_desktop {

namespace {

// One name for the whole display: the show covers every monitor of it.
constexpr const char* kClaimSelection = "_QUORREL_SHOW";

xcb_atom_t claimAtom(xcb_connection_t* c) {
  const auto atom = OwnReply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(kClaimSelection)), kClaimSelection), nullptr));
  return atom ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

}  // namespace

std::unique_ptr<SelectionShowClaim> SelectionShowClaim::Take(const char* displayName) {
  const XcbScreen display = ConnectToScreen(displayName);
  if (display.connection == nullptr) return nullptr;
  xcb_connection_t* c = display.connection;
  const xcb_window_t root = display.screen->root;

  const xcb_atom_t atom = claimAtom(c);
  // An unmapped window that takes no input, made only to own the selection.
  const xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  bool taken = false;
  if (atom != XCB_ATOM_NONE) {
    xcb_grab_server(c);
    const auto owner = OwnReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr));
    if (owner && owner->owner == XCB_NONE) {
      xcb_set_selection_owner(c, window, atom, XCB_CURRENT_TIME);
      const auto now = OwnReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr));
      taken = now && now->owner == window;
    }
    xcb_ungrab_server(c);
    xcb_flush(c);
  }
  if (!taken) {
    xcb_disconnect(c);
    return nullptr;
  }
  return std::unique_ptr<SelectionShowClaim>(new SelectionShowClaim(c, window));
}

SelectionShowClaim::~SelectionShowClaim() {
  // Destroying the owner gives the selection up at once; the connection
  // would take it with it anyway.
  xcb_destroy_window(connection_, window_);
  xcb_flush(connection_);
  xcb_disconnect(connection_);
}

bool ShowClaimHeld(const char* displayName) {
  const XcbScreen display = ConnectToScreen(displayName);
  if (display.connection == nullptr) return false;
  xcb_connection_t* c = display.connection;
  bool held = false;
  if (const xcb_atom_t atom = claimAtom(c); atom != XCB_ATOM_NONE) {
    const auto owner = OwnReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom), nullptr));
    held = owner && owner->owner != XCB_NONE;
  }
  xcb_disconnect(c);
  return held;
}

}  // namespace quorrel::linux_desktop
