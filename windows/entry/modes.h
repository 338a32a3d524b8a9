#pragma once

#include <string>

namespace quorrel::windows_desktop {

// The "/S" mode: the show window over the whole screen, and the message
// loop until input ends the show.
void RunShowMode();

// The "/C" mode: the options dialog as the main window, the About box made
// hidden after it, and the message loop until the dialog closes.
void RunConfigMode(const std::string& executablePath);

}  // namespace quorrel::windows_desktop
