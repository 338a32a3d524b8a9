#include "linux/entry/show_claim.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace quorrel::linux_desktop {

namespace {

// One name for the whole display: the show covers every monitor of it.
constexpr const char* kClaimSelection = "_QUORREL_SHOW";

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

}  // namespace

std::unique_ptr<ShowClaim> ShowClaim::Take(const char* displayName) {
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(displayName, &screenNumber);
  if (xcb_connection_has_error(c) != 0) {
    xcb_disconnect(c);
    return nullptr;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) {
    xcb_disconnect(c);
    return nullptr;
  }
  const xcb_window_t root = screens.data->root;

  ReplyPtr<xcb_intern_atom_reply_t> atom(
      xcb_intern_atom_reply(
          c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(kClaimSelection)), kClaimSelection), nullptr),
      &std::free);
  // An unmapped window that takes no input, made only to own the selection.
  const xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, 0, nullptr);
  bool taken = false;
  if (atom) {
    xcb_grab_server(c);
    ReplyPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &std::free);
    if (owner && owner->owner == XCB_NONE) {
      xcb_set_selection_owner(c, window, atom->atom, XCB_CURRENT_TIME);
      ReplyPtr<xcb_get_selection_owner_reply_t> now(
          xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr), &std::free);
      taken = now && now->owner == window;
    }
    xcb_ungrab_server(c);
    xcb_flush(c);
  }
  if (!taken) {
    xcb_disconnect(c);
    return nullptr;
  }
  return std::unique_ptr<ShowClaim>(new ShowClaim(c, window));
}

ShowClaim::~ShowClaim() {
  // Destroying the owner gives the selection up at once; the connection
  // would take it with it anyway.
  xcb_destroy_window(connection_, window_);
  xcb_flush(connection_);
  xcb_disconnect(connection_);
}

}  // namespace quorrel::linux_desktop
