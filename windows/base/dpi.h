#pragma once

#include <windows.h>

// The screen's scale as each window sees it. quorrel.scr declares itself
// aware of each monitor's DPI (its manifest), so Windows hands it device
// pixels and leaves the scaling to it: the dialogs grow with the DPI of
// the monitor they are on, and the show stays in the monitor's pixels.
// The calls that ask a window's DPI exist from Windows 10 on; they are
// looked up, not linked, so that the program still starts on older
// systems, where the system's one DPI stands in for every window's.

namespace quorrel::windows_desktop {

// The DPI of the monitor `window` is on, as the window sees it.
[[nodiscard]] int WindowDpi(HWND window);

// The outer size of a window of `style` whose client area is `width` by
// `height` at `dpi`: the frame and the caption bar scale with the DPI too.
[[nodiscard]] SIZE OuterSizeForDpi(DWORD style, DWORD exStyle, int width, int height, int dpi);

// A length given at 96 dpi, at `dpi`.
[[nodiscard]] int ScaledToDpi(int length, int dpi);

// While it lives, windows this thread makes get the DPI awareness of
// `window` (a window of another program that they are to be children of):
// a child whose awareness differs from its parent's is refused or placed
// in the wrong coordinates by Windows.
class DpiAwarenessOf {
 public:
  explicit DpiAwarenessOf(HWND window);
  ~DpiAwarenessOf();
  DpiAwarenessOf(const DpiAwarenessOf&) = delete;
  DpiAwarenessOf& operator=(const DpiAwarenessOf&) = delete;

 private:
  DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

}  // namespace quorrel::windows_desktop
