#pragma once

#include <windows.h>

namespace quorrel::windows_desktop {

// The picture a drawn push button shows left of its caption.
enum class ButtonGlyph { None, Check, Play, Pause, Stop };

// How a drawn push button looks: its caption's colour, its picture, and
// whether it is the window's default button (the one Enter presses), which
// has a dark outer frame.
struct ButtonLook {
  COLORREF text = RGB(0, 0, 0);
  ButtonGlyph glyph = ButtonGlyph::None;
  bool isDefault = false;
};

// Draws a push button made with BS_OWNERDRAW, as the system draws its own
// classic buttons, with a coloured caption and a picture, which the
// system's buttons cannot show. Its owner calls this on WM_DRAWITEM.
void DrawButton(const DRAWITEMSTRUCT& item, const ButtonLook& look);

}  // namespace quorrel::windows_desktop
