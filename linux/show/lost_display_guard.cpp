#include "linux/show/lost_display_guard.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

#include "base/log.h"
#include "media/system_mute.h"

// Last: Xlib's macros (None, Status, Bool) would clash with names above.
#include <X11/Xlib.h>

namespace quorrel::linux_desktop {

namespace {

// Read by whichever thread meets the lost display first; the guard's
// constructor and destructor, on the user-interface thread, write them.
std::atomic<xcb_connection_t*> qtConnection{nullptr};
std::atomic<SystemMute*> guardedMute{nullptr};
std::atomic<MuteChoice> endChoice{MuteChoice::LeaveAlone};
std::atomic_flag ending = ATOMIC_FLAG_INIT;
// Held around every change of the mute switch while a guard lives, and by
// the end for good: a start mute that is still on its way to the sound
// server when the display goes cannot overtake the end mute.
std::mutex muteSwitch;
thread_local bool endingOnThisThread = false;
XIOErrorHandler previousIoErrorHandler = nullptr;

[[noreturn]] void endForLostDisplay() {
  if (endingOnThisThread) ::_exit(0);
  if (ending.test_and_set()) {
    // Another thread is ending the process: going on here would run exit
    // handlers or destructors under its feet.
    for (;;) ::pause();
  }
  endingOnThisThread = true;
  const std::lock_guard<std::mutex> noOtherMute(muteSwitch);
  const MuteChoice choice = endChoice.load();
  if (SystemMute* mute = guardedMute.load(); mute != nullptr && choice != MuteChoice::LeaveAlone) {
    try {
      mute->setSystemMute(choice == MuteChoice::Mute);
    } catch (const std::exception& error) {
      LogError(error.what());
    }
  }
  LogError("the X display has gone; the show has ended");
  ::_exit(0);
}

// Xlib calls this when a connection of its own breaks; returning would
// let Xlib end the process with exit(1).
int onXlibIoError(Display* display) {
  if (guardedMute.load() != nullptr) endForLostDisplay();
  return previousIoErrorHandler != nullptr ? previousIoErrorHandler(display) : 0;
}

// Qt's exit(1) on a broken connection lands here, before the process's
// static objects are destroyed under the still running players. Any other
// exit during the show goes on as it would.
void onExit() {
  if (guardedMute.load() == nullptr) return;
  xcb_connection_t* connection = qtConnection.load();
  if (connection != nullptr && xcb_connection_has_error(connection) != 0) endForLostDisplay();
}

}  // namespace

// The display's end, seen from a connection and a thread of their own.
// Whatever the user-interface thread is waiting for (a video's start,
// whose output thread may hang in a write to the lost display, or a reply
// from mpv), the server's end closes this connection's socket and wakes
// the thread at once.
class LostDisplayGuard::ServerWatch {
 public:
  ServerWatch() : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_) != 0) {
      LogError("the X display cannot be watched; a show whose display goes may end late");
      return;
    }
    if (::pipe2(wake_, O_CLOEXEC) != 0) return;
    thread_ = std::thread([this] { watch(); });
  }
  ~ServerWatch() {
    if (thread_.joinable()) {
      const char byte = 1;
      [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
      thread_.join();
    }
    for (const int end : wake_) {
      if (end >= 0) ::close(end);
    }
    xcb_disconnect(connection_);
  }
  ServerWatch(const ServerWatch&) = delete;
  ServerWatch& operator=(const ServerWatch&) = delete;

 private:
  void watch() {
    pollfd watched[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
    while (true) {
      if (::poll(watched, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (watched[1].revents != 0) return;
      if (watched[0].revents == 0) continue;
      // Nothing was asked for, but the server tells every client of some
      // changes (the keyboard's mapping); a closed socket reads as an error.
      while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
      if (xcb_connection_has_error(connection_) != 0) endForLostDisplay();
    }
  }

  xcb_connection_t* connection_;
  int wake_[2] = {-1, -1};
  std::thread thread_;
};

void LostDisplayGuard::setSystemMute(bool mute) {
  const std::lock_guard<std::mutex> oneAtATime(muteSwitch);
  mute_.setSystemMute(mute);
}

LostDisplayGuard::LostDisplayGuard(xcb_connection_t* connection, SystemMute& mute) : mute_(mute) {
  static const bool exitHandlerAdded = std::atexit(onExit) == 0;
  if (!exitHandlerAdded) LogError("a lost display would end the show without its end steps");
  qtConnection = connection;
  endChoice = MuteChoice::LeaveAlone;
  guardedMute = &mute;
  // Qt has set a handler of its own by now, which prints a line and lets
  // Xlib exit; it comes back with the guard's end.
  previousIoErrorHandler = XSetIOErrorHandler(onXlibIoError);
  serverWatch_ = std::make_unique<ServerWatch>();
}

LostDisplayGuard::~LostDisplayGuard() {
  serverWatch_.reset();
  XSetIOErrorHandler(previousIoErrorHandler);
  guardedMute = nullptr;
  qtConnection = nullptr;
}

void LostDisplayGuard::setEndChoice(MuteChoice choice) { endChoice = choice; }

}  // namespace quorrel::linux_desktop
