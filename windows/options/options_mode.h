#pragma once

#include <windows.h>

#include <string>

namespace quorrel::windows_desktop {

// The "/C" mode: the options dialog as the main window, the About box made
// hidden after it, and the message loop until the dialog closes. Given the
// window that asked for it ("/c:HWND"), the dialog is owned by and modal
// to that window, and a second start for an owner whose dialog is open
// brings that dialog to the front instead of opening another.
void RunConfigMode(const std::string& executablePath, HWND owner = nullptr);

}  // namespace quorrel::windows_desktop
