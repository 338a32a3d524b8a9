#include "linux/show/lost_display_guard.h"

#include <unistd.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <exception>

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

LostDisplayGuard::LostDisplayGuard(xcb_connection_t* connection, SystemMute& mute) {
  static const bool exitHandlerAdded = std::atexit(onExit) == 0;
  if (!exitHandlerAdded) LogError("a lost display would end the show without its end steps");
  qtConnection = connection;
  endChoice = MuteChoice::LeaveAlone;
  guardedMute = &mute;
  // Qt has set a handler of its own by now, which prints a line and lets
  // Xlib exit; it comes back with the guard's end.
  previousIoErrorHandler = XSetIOErrorHandler(onXlibIoError);
}

LostDisplayGuard::~LostDisplayGuard() {
  XSetIOErrorHandler(previousIoErrorHandler);
  guardedMute = nullptr;
  qtConnection = nullptr;
}

void LostDisplayGuard::setEndChoice(MuteChoice choice) { endChoice = choice; }

}  // namespace quorrel::linux_desktop
