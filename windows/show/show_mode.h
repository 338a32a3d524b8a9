#pragma once

namespace quorrel::windows_desktop {

// The "/S" mode: the show window over the whole screen, and the message
// loop until input ends the show.
void RunShowMode();

}  // namespace quorrel::windows_desktop
