#pragma once

#include <string>

namespace quorrel::windows_desktop {

// The "/C" mode: the options dialog as the main window, the About box made
// hidden after it, and the message loop until the dialog closes.
void RunConfigMode(const std::string& executablePath);

}  // namespace quorrel::windows_desktop
