#pragma once

#include <windows.h>

#include <chrono>
#include <string>

// What the preview in Windows' screen saver settings ("/p") needs of its
// host: the host's window lent to it, which belongs to another program
// that tells the preview of nothing.

namespace quorrel::windows_desktop {

// Ends the process with status 0 `grace` after `host` stops being a
// window, whatever the process is doing then: opening a file, waiting for
// a player, or stuck in a media framework's shutdown. A preview whose host
// has gone has nothing left to show or save, and a process left behind
// would decode for nobody. Watched from a thread of its own, so that
// nothing on the user-interface thread can hold it up.
void EndProcessWhenWindowGoes(HWND host, std::chrono::milliseconds grace);

// Whether the host can be seen: visible, and its top-level window not
// minimised.
[[nodiscard]] bool HostShown(HWND host);

// Lays the message screen's `text`, which the label shows, out inside a `width` by `height` area:
// the label fills it but for a margin, wrapping its words, in the largest
// "Arial" of at most `largestPixels` high in which the whole text fits.
void FitMessageLabel(HWND label, const std::string& text, int width, int height, int largestPixels);

}  // namespace quorrel::windows_desktop
