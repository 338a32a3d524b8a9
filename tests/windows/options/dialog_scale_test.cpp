#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "options/dialog_layout.h"
#include "windows/base/dpi.h"
#include "windows/options/dialog_builder.h"

// The configuration mode's windows at 100, 125, 150 and 200 %: each is
// built at the DPI of its monitor and then told, as Windows tells a window
// dragged to a monitor of another scale, that its DPI changed. At every
// scale each control must stand at its scaled place with its scaled font,
// and every caption must fit its control.

namespace quorrel::windows_desktop {
namespace {

class ScaledWindow : public LaidOutWindow {
 public:
  ScaledWindow(const WindowLayout& layout, DWORD style) : style_(style) {
    createLaidOut(L"QuorrelScaleTest", 0, style, layout, nullptr);
  }

  // What Windows sends on a move to a monitor of `dpi`: the new DPI and a
  // suggested place of the scaled size.
  void moveToDpi(int dpi) {
    RECT place{};
    ::GetWindowRect(hwnd(), &place);
    SIZE outer{ScaledLength(layout().width, dpi), ScaledLength(layout().height, dpi)};
    if (layout().frame == WindowFrame::Fixed) outer = OuterSizeForDpi(style_, 0, outer.cx, outer.cy, dpi);
    RECT suggested{place.left, place.top, place.left + outer.cx, place.top + outer.cy};
    ::SendMessageW(hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }

 private:
  DWORD style_;
};

std::wstring textOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

RECT placeInParent(HWND control) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// The size the control's text takes in the control's own font, on one line
// or wrapped to `wrapWidth`.
SIZE textExtent(HWND control, int wrapWidth = 0) {
  const std::wstring text = textOf(control);
  RECT extent{0, 0, wrapWidth, 0};
  HDC dc = ::GetDC(control);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
              DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

// Checks every control of `window` laid out at `dpi`.
void expectLaidOutAt(const ScaledWindow& window, int dpi) {
  SCOPED_TRACE(std::string(window.layout().title) + " at " + std::to_string(dpi) + " dpi");
  EXPECT_EQ(window.dpi(), dpi);
  RECT client{};
  ::GetClientRect(window.hwnd(), &client);
  if (window.layout().frame == WindowFrame::Fixed) {
    EXPECT_EQ(client.right, ScaledLength(window.layout().width, dpi));
    EXPECT_EQ(client.bottom, ScaledLength(window.layout().height, dpi));
  }
  auto scaled = [dpi](int length) { return ScaledToDpi(length, dpi); };
  for (const ControlLayout& row : window.layout().controls) {
    SCOPED_TRACE(static_cast<int>(row.id));
    const HWND control = window.control(row.id);
    // Windows' own screen-saver settings keep the wait: the idle watcher's
    // controls are not made here.
    if (row.idleWatcherOnly) {
      EXPECT_EQ(control, nullptr);
      continue;
    }
    ASSERT_NE(control, nullptr);
    const RECT place = placeInParent(control);
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (row.kind != ControlKind::FittedLabel) {
      const Rect expected = ScaledRect(window.layout().placeInWindow(row.id), dpi);
      EXPECT_EQ(place.left, expected.left);
      EXPECT_EQ(place.top, expected.top);
      EXPECT_EQ(width, expected.width);
      EXPECT_EQ(height, expected.height);
    }
    if (const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0))) {
      LOGFONTW look{};
      ::GetObjectW(font, sizeof look, &look);
      EXPECT_EQ(look.lfHeight, -FontPixelHeight(row.font, dpi));
    }
    if (textOf(control).empty()) continue;
    // Room each kind needs beside its caption: the push buttons' frame and
    // picture, the radio buttons' 13-pixel circle and the gap after it, the
    // group boxes' frame corner.
    switch (row.kind) {
      case ControlKind::PushButton: {
        const SIZE text = textExtent(control);
        const int picture = row.picture != ButtonPicture::None ? scaled(kButtonPictureSize + 4) : 0;
        EXPECT_LE(text.cx + picture + scaled(6), width);
        EXPECT_LE(text.cy, height);
        break;
      }
      case ControlKind::RadioButton: {
        const SIZE text = textExtent(control);
        EXPECT_LE(text.cx + scaled(13 + 4), width);
        EXPECT_LE(text.cy, height);
        break;
      }
      case ControlKind::GroupBox:
        EXPECT_LE(textExtent(control).cx + scaled(16), width);
        break;
      case ControlKind::WrappedLabel:
        EXPECT_LE(textExtent(control, width).cy, height);
        break;
      case ControlKind::Label:
      case ControlKind::FittedLabel: {
        const SIZE text = textExtent(control);
        EXPECT_LE(text.cx, width);
        EXPECT_LE(text.cy, height);
        break;
      }
      default:
        break;
    }
  }
}

void expectEveryScaleFits(const WindowLayout& layout, DWORD style) {
  ScaledWindow window(layout, style);
  ASSERT_NE(window.hwnd(), nullptr);
  // Built at the DPI of the monitor it is on.
  expectLaidOutAt(window, WindowDpi(window.hwnd()));
  // The options dialog's size numbers and count at their widest.
  if (HWND count = window.control(ControlId::VideoCountLabel)) ::SetWindowTextW(count, L"Total Videos = 1000");
  for (const int dpi : {96, 120, 144, 192}) {
    window.moveToDpi(dpi);
    expectLaidOutAt(window, dpi);
  }
}

TEST(DialogScale, theOptionsDialogFitsEveryCaptionAtEveryScale) {
  expectEveryScaleFits(OptionsDialogLayout(), WS_POPUP | WS_CAPTION);
}

TEST(DialogScale, theSubDialogsAndThePreviewFitEveryCaptionAtEveryScale) {
  expectEveryScaleFits(VideoSoundDialogLayout(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
  expectEveryScaleFits(AboutBoxLayout(), WS_POPUP | WS_CAPTION);
  expectEveryScaleFits(PreviewWindowLayout(), WS_OVERLAPPEDWINDOW);
}

}  // namespace
}  // namespace quorrel::windows_desktop
