#include "linux/show/x11_display_power.h"

#include <xcb/dpms.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

#include "linux/base/xcb_reply.h"
#include "linux/base/xcb_screen.h"

namespace quorrel::linux_desktop {

namespace {

// Whether the server has the extension. A request of an extension the
// server lacks would close the whole connection, so every request waits
// for this answer first.
bool present(xcb_connection_t* connection, xcb_extension_t* extension) {
  const xcb_query_extension_reply_t* reply = xcb_get_extension_data(connection, extension);
  return reply != nullptr && reply->present != 0;
}

// One raw-motion mask for all master pointers, as the request lays it out.
struct RawMotionMask {
  xcb_input_event_mask_t head{XCB_INPUT_DEVICE_ALL_MASTER, 1};
  std::uint32_t bits = 0;
};

}  // namespace

std::unique_ptr<X11DisplayPower> X11DisplayPower::Open() {
  const XcbScreen display = ConnectToScreen(nullptr);
  if (display.connection == nullptr) return nullptr;
  xcb_connection_t* connection = display.connection;
  std::unique_ptr<X11DisplayPower> power(new X11DisplayPower(connection, display.screen->root));

  if (present(connection, &xcb_dpms_id)) {
    const auto capable = OwnReply(xcb_dpms_capable_reply(connection, xcb_dpms_capable(connection), nullptr));
    power->capable_ = capable && capable->capable != 0;
  }
  // Raw motion reaches every client that asks for it on the root window,
  // whatever window the pointer is over and whoever holds a grab.
  if (power->capable_ && present(connection, &xcb_input_id)) {
    const auto version =
        OwnReply(xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
    if (version && version->major_version >= 2) {
      power->inputOpcode_ = xcb_get_extension_data(connection, &xcb_input_id)->major_opcode;
    }
  }
  return power;
}

X11DisplayPower::X11DisplayPower(xcb_connection_t* connection, unsigned root) : connection_(connection), root_(root) {}

X11DisplayPower::~X11DisplayPower() { xcb_disconnect(connection_); }

bool X11DisplayPower::poweredDown() {
  if (!capable_) return false;
  const auto info = OwnReply(xcb_dpms_info_reply(connection_, xcb_dpms_info(connection_), nullptr));
  return info && info->state != 0 && info->power_level != XCB_DPMS_DPMS_MODE_ON;
}

void X11DisplayPower::watchPointer(bool watch) {
  if (inputOpcode_ == 0 || watch == watchingPointer_) return;
  watchingPointer_ = watch;
  RawMotionMask mask;
  mask.bits = watch ? XCB_INPUT_XI_EVENT_MASK_RAW_MOTION : 0;
  xcb_input_xi_select_events(connection_, root_, 1, &mask.head);
  xcb_flush(connection_);
}

bool X11DisplayPower::broken() const { return xcb_connection_has_error(connection_) != 0; }

int X11DisplayPower::fileDescriptor() const { return xcb_get_file_descriptor(connection_); }

bool X11DisplayPower::takePointerMotion() {
  bool motion = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    if ((event->response_type & 0x7f) == XCB_GE_GENERIC) {
      const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
      if (generic->extension == inputOpcode_ && generic->event_type == XCB_INPUT_RAW_MOTION) motion = true;
    }
    std::free(event);
  }
  return motion;
}

}  // namespace quorrel::linux_desktop
