#pragma once

#include <memory>

#include "media/system_mute.h"
#include "settings/settings_schema.h"

struct xcb_connection_t;

namespace quorrel::linux_desktop {

// The end of a show whose X display goes away under it (the X server ends,
// as it does at a logout). Qt's xcb platform ends the process with exit(1)
// as soon as it finds its connection broken, and Xlib's default handler
// does the same on the thread of mpv's video output, which has a display
// connection of its own; the two exits may run at once, and one then takes
// the process down with a crash while the other runs the exit handlers.
// The show cannot run its own end steps any more: its windows are gone,
// and mpv's video thread, stuck on the lost display, may never answer a
// request to stop.
//
// While a guard lives, the first of those exits, whichever thread takes
// it, applies the end mute choice, leaves one line on standard error and
// ends the process at once with status 0; playback ends with the process.
// Any other thread that reaches one of them meanwhile waits for that end.
// A thread of the guard's own watches the display too, so that the end
// comes within moments of the display's, whatever the user-interface
// thread is waiting for. The show sets the mute through the guard, so that
// no mute of its own can land after the end's.
// One guard at a time, made and destroyed on the user-interface thread.
class LostDisplayGuard : public SystemMute {
 public:
  // `qtConnection` is Qt's own connection, whose error state tells a lost
  // display from any other exit; `mute` must outlive the guard.
  LostDisplayGuard(xcb_connection_t* qtConnection, SystemMute& mute);
  ~LostDisplayGuard() override;
  LostDisplayGuard(const LostDisplayGuard&) = delete;
  LostDisplayGuard& operator=(const LostDisplayGuard&) = delete;

  // The end mute choice, once the start-up has read it; until then the
  // mute is left alone.
  void setEndChoice(MuteChoice choice);
  // `mute`'s switch, never at the same time as the end's.
  void setSystemMute(bool mute) override;

 private:
  class ServerWatch;
  SystemMute& mute_;
  std::unique_ptr<ServerWatch> serverWatch_;
};

}  // namespace quorrel::linux_desktop
