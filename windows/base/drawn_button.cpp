#include "windows/base/drawn_button.h"

#include <array>
#include <string>

#include "windows/base/dpi.h"

namespace quorrel::windows_desktop {

namespace {

constexpr int kGlyphSize = 16;

// The pictures as the other front end draws them: a green check mark for
// the OK-kind buttons, black player symbols for the preview's buttons.
// They are drawn on a 16-pixel square at 96 dpi, and larger at more.
void drawGlyph(HDC dc, ButtonGlyph glyph, int left, int top, bool enabled, int dpi) {
  auto at = [dpi](int origin, int offset) { return origin + ScaledToDpi(offset, dpi); };
  const COLORREF ink = enabled ? RGB(0, 0, 0) : ::GetSysColor(COLOR_GRAYTEXT);
  HBRUSH brush = ::CreateSolidBrush(ink);
  HGDIOBJ oldBrush = ::SelectObject(dc, brush);
  HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
  switch (glyph) {
    case ButtonGlyph::Play: {
      const std::array<POINT, 3> triangle{
          {{at(left, 4), at(top, 2)}, {at(left, 13), at(top, 8)}, {at(left, 4), at(top, 14)}}};
      ::Polygon(dc, triangle.data(), static_cast<int>(triangle.size()));
      break;
    }
    case ButtonGlyph::Pause:
      ::Rectangle(dc, at(left, 4), at(top, 3), at(left, 8), at(top, 14));
      ::Rectangle(dc, at(left, 9), at(top, 3), at(left, 13), at(top, 14));
      break;
    case ButtonGlyph::Stop:
      ::Rectangle(dc, at(left, 4), at(top, 4), at(left, 13), at(top, 13));
      break;
    case ButtonGlyph::Check: {
      HPEN pen = ::CreatePen(PS_SOLID, ScaledToDpi(2, dpi), enabled ? RGB(0, 128, 0) : ink);
      ::SelectObject(dc, pen);
      const std::array<POINT, 3> tick{
          {{at(left, 3), at(top, 8)}, {at(left, 6), at(top, 12)}, {at(left, 13), at(top, 4)}}};
      ::Polyline(dc, tick.data(), static_cast<int>(tick.size()));
      ::SelectObject(dc, ::GetStockObject(NULL_PEN));
      ::DeleteObject(pen);
      break;
    }
    case ButtonGlyph::None:
      break;
  }
  ::SelectObject(dc, oldPen);
  ::SelectObject(dc, oldBrush);
  ::DeleteObject(brush);
}

}  // namespace

void DrawButton(const DRAWITEMSTRUCT& item, const ButtonLook& look) {
  HDC dc = item.hDC;
  RECT frame = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  if (look.isDefault) {
    ::FrameRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&frame, -1, -1);
  }
  ::DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

  std::wstring caption(static_cast<std::size_t>(::GetWindowTextLengthW(item.hwndItem)) + 1, L'\0');
  caption.resize(
      static_cast<std::size_t>(::GetWindowTextW(item.hwndItem, caption.data(), static_cast<int>(caption.size()))));
  HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  // The picture and the caption together, centred; a pressed button's face
  // moves one pixel down and to the right.
  const int dpi = WindowDpi(item.hwndItem);
  const int glyphSize = ScaledToDpi(kGlyphSize, dpi);
  const int gap = look.glyph == ButtonGlyph::None ? 0 : glyphSize + ScaledToDpi(4, dpi);
  const int shift = pushed ? 1 : 0;
  const int left = (frame.left + frame.right - gap - extent.cx) / 2 + shift;
  const int middle = (frame.top + frame.bottom) / 2 + shift;
  if (look.glyph != ButtonGlyph::None) drawGlyph(dc, look.glyph, left, middle - glyphSize / 2, enabled, dpi);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, enabled ? look.text : ::GetSysColor(COLOR_GRAYTEXT));
  ::TextOutW(dc, left + gap, middle - extent.cy / 2, caption.c_str(), static_cast<int>(caption.size()));
  ::SelectObject(dc, oldFont);

  if ((item.itemState & ODS_FOCUS) != 0) {
    RECT focus = frame;
    ::InflateRect(&focus, -3, -3);
    ::DrawFocusRect(dc, &focus);
  }
}

}  // namespace quorrel::windows_desktop
