#include "linux/idle/x11_idle_source.h"

#include <poll.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

#include "linux/base/xcb_reply.h"
#include "linux/base/xcb_screen.h"

namespace quorrel::linux_desktop {

namespace {

constexpr std::chrono::milliseconds kShortestLook{1000};

}  // namespace

std::unique_ptr<X11IdleSource> X11IdleSource::Connect(std::function<void()> idle) {
  const XcbScreen display = ConnectToScreen(nullptr);
  if (display.connection == nullptr) return nullptr;
  std::unique_ptr<X11IdleSource> source(new X11IdleSource(std::move(idle)));
  source->connection_ = display.connection;
  source->root_ = display.screen->root;
  const xcb_query_extension_reply_t* extension = xcb_get_extension_data(display.connection, &xcb_screensaver_id);
  if (extension == nullptr || extension->present == 0) return nullptr;
  return source;
}

X11IdleSource::~X11IdleSource() {
  if (connection_ != nullptr) xcb_disconnect(connection_);
}

void X11IdleSource::simulateUserActivity() {
  if (lost_) return;
  xcb_force_screen_saver(connection_, XCB_SCREEN_SAVER_RESET);
  xcb_flush(connection_);
  nextLook_ = std::chrono::steady_clock::now();
}

void X11IdleSource::setWait(std::chrono::milliseconds wait) {
  wait_ = wait;
  reported_ = false;
  // The first look comes from the loop, as every later one does.
  nextLook_ = std::chrono::steady_clock::now();
}

int X11IdleSource::pollFd() const { return lost_ ? -1 : xcb_get_file_descriptor(connection_); }

short X11IdleSource::pollEvents() const { return POLLIN; }

void X11IdleSource::afterWait(short revents) {
  if (lost_) return;
  // The server sends this client no events; anything read is dropped, and
  // a closed connection ends the watcher.
  if ((revents & POLLIN) != 0) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
  }
  if ((revents & (POLLERR | POLLHUP)) != 0 || xcb_connection_has_error(connection_) != 0) {
    lost_ = true;
    return;
  }
  if (std::chrono::steady_clock::now() >= nextLook_) look();
}

void X11IdleSource::look() {
  const auto info =
      OwnReply(xcb_screensaver_query_info_reply(connection_, xcb_screensaver_query_info(connection_, root_), nullptr));
  if (!info) {
    lost_ = xcb_connection_has_error(connection_) != 0;
    nextLook_ = std::chrono::steady_clock::now() + kShortestLook;
    return;
  }
  const std::chrono::milliseconds idle(info->ms_since_user_input);
  // Input since the last look starts a new idle period.
  if (idle < lastIdle_ || idle < wait_) reported_ = false;
  lastIdle_ = idle;
  if (!reported_ && idle >= wait_) {
    reported_ = true;
    idle_();
  }
  // Short of the wait, the next look is when the wait could have passed;
  // after the report, once a second, to see the input that ends the period.
  const std::chrono::milliseconds untilWait = reported_ ? kShortestLook : std::max(kShortestLook, wait_ - idle);
  nextLook_ = std::chrono::steady_clock::now() + untilWait;
}

}  // namespace quorrel::linux_desktop
