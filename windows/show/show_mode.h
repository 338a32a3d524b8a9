#pragma once

#include <windows.h>

namespace quorrel::windows_desktop {

// The "/S" mode: the show window over the whole screen, and the message
// loop until input ends the show.
void RunShowMode();

// The "/p" mode: the show as a child of `host`, the little screen of
// Windows' screen saver settings, until the host goes away.
void RunHostedShowMode(HWND host);

}  // namespace quorrel::windows_desktop
