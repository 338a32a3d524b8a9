#pragma once

#include <windows.h>

#include <chrono>
#include <memory>
#include <vector>

#include "media/media_player.h"

// The end of a show that no player can hold up. A media framework may block
// for good in its own shutdown (Wine's media source has been seen to), and
// a show stuck on the user-interface thread would keep a black window over
// the screen with no way out. So the players are stopped and closed on a
// thread of their own, waited for only so long, and the process ends
// however the end goes.

namespace quorrel::windows_desktop {

// Stops the players that play and closes them, those that may be closed on
// any thread (the Media Engine's) on a thread of their own, and waits for
// that at most `bound`. Meanwhile this thread closes the others (MCI's
// DirectShow devices, which Wine lets go only on the thread that opened
// them) and handles the messages other threads send it, and nothing else:
// no input, no timer. True when every player was released in time;
// otherwise the players are left to their thread, and the caller ends the
// process.
[[nodiscard]] bool ReleasePlayers(std::vector<std::unique_ptr<MediaPlayer>> players, std::chrono::milliseconds bound);

// Ends the process with status 0 once `bound` has passed, unless the
// process has ended by then. Started when a show begins to end, so that no
// step of the end (a mute switch that does not answer, say) can keep the
// process.
void EndProcessAfter(std::chrono::milliseconds bound);

}  // namespace quorrel::windows_desktop
