#pragma once

#include <windows.h>

namespace quorrel::windows_desktop {

// A thread that waits long (a video that takes a second to load, say)
// cannot answer its input meanwhile, and a show that cannot hear the key
// meant to end it stays on the screen. While an object of this class lives
// on a thread, the waits made there through WaitAnsweringInput take the
// thread's keyboard and mouse input off its queue as it comes and dispatch
// it, and so through any message hook of the thread. Nothing else is
// dispatched: no timer, no paint, no message another thread posted, so no
// handler runs in the middle of the waiting one but for input. Off by
// default, since a window whose buttons act on the object that waits (a
// preview's Play while its video loads) must not get clicks in between.
class InputDuringWaits {
 public:
  InputDuringWaits();
  ~InputDuringWaits();
  InputDuringWaits(const InputDuringWaits&) = delete;
  InputDuringWaits& operator=(const InputDuringWaits&) = delete;

 private:
  bool previous_;
};

// Waits for `object` for up to `milliseconds`, as WaitForSingleObject does,
// answering input meanwhile where an InputDuringWaits lives on the thread.
DWORD WaitAnsweringInput(HANDLE object, DWORD milliseconds);

// Whether this thread is handling input in the middle of such a wait, with
// the waiting call still to return.
[[nodiscard]] bool AnsweringInputInAWait();

}  // namespace quorrel::windows_desktop
