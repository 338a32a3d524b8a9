#include "windows/options/dialog_builder.h"

#include "windows/base/dpi.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

// WM_COMMAND identifiers of the controls: this number and up, by the
// control's id; the default button is IDOK.
constexpr int kFirstControlCommand = 1000;

ButtonGlyph glyphOf(ButtonPicture picture) {
  switch (picture) {
    case ButtonPicture::Check:
      return ButtonGlyph::Check;
    case ButtonPicture::Play:
      return ButtonGlyph::Play;
    case ButtonPicture::Pause:
      return ButtonGlyph::Pause;
    case ButtonPicture::Stop:
      return ButtonGlyph::Stop;
    case ButtonPicture::None:
      break;
  }
  return ButtonGlyph::None;
}

HFONT fontOf(const FontFace& font, int dpi) {
  return DialogFont(Widen(font.family).c_str(), font.points, font.bold, font.oemCharset ? OEM_CHARSET : DEFAULT_CHARSET,
                    dpi);
}

int commandOf(const ControlLayout& row) {
  return row.isDefault ? IDOK : kFirstControlCommand + static_cast<int>(row.id);
}

}  // namespace

void LaidOutWindow::createLaidOut(const wchar_t* windowClass, DWORD exStyle, DWORD style, const WindowLayout& layout,
                                  HWND owner) {
  layout_ = &layout;
  style_ = style;
  exStyle_ = exStyle;
  // Made first and sized after: its size depends on the DPI of the monitor
  // it is on, which only the window itself can tell.
  create(windowClass, kDialogBackground, exStyle, style, layout.title, 0, 0, 0, 0, owner);
  if (hwnd() == nullptr) return;
  dpi_ = WindowDpi(hwnd());
  const SIZE outer = outerSize();
  ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fitFrameToClient();
  for (const ControlLayout& row : layout.controls) {
    // Windows' own screen-saver settings keep the wait.
    if (!row.idleWatcherOnly) built_.push_back(Built{&row, makeControl(row)});
  }
  placeControls();
  CentreOnScreen(hwnd());
}

HWND LaidOutWindow::makeControl(const ControlLayout& row) {
  const int id = commandOf(row);
  switch (row.kind) {
    case ControlKind::Label:
    case ControlKind::FittedLabel:
      return Control(hwnd(), L"STATIC", row.caption, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0, id, nullptr);
    case ControlKind::WrappedLabel:
      return Control(hwnd(), L"STATIC", row.caption, SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, id, nullptr);
    case ControlKind::ListBox:
      return Control(hwnd(), L"LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0,
                     0, 0, 0, id, nullptr);
    case ControlKind::GroupBox:
      return Control(hwnd(), L"BUTTON", row.caption, BS_GROUPBOX, 0, 0, 0, 0, id, nullptr);
    case ControlKind::SunkenPanel:
      return Control(hwnd(), L"STATIC", "", SS_SUNKEN, 0, 0, 0, 0, id, nullptr);
    case ControlKind::PushButton: {
      HWND button = nullptr;
      if (row.picture != ButtonPicture::None || row.navy) {
        // A caption in colour or with a picture, which the system's
        // buttons cannot show.
        button = drawnButton(row.caption, 0, 0, 0, 0, id, nullptr,
                             ButtonLook{row.navy ? kNavy : RGB(0, 0, 0), glyphOf(row.picture), row.isDefault});
      } else {
        button = Control(hwnd(), L"BUTTON", row.caption,
                         (row.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, 0, 0, 0, 0, id, nullptr);
      }
      if (row.tooltip != nullptr) addTooltip(button, row.tooltip);
      return button;
    }
    case ControlKind::RadioButton:
      return Control(hwnd(), L"BUTTON", row.caption, BS_RADIOBUTTON | WS_TABSTOP, 0, 0, 0, 0, id, nullptr);
    case ControlKind::CheckBox:
      return Control(hwnd(), L"BUTTON", row.caption, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0, 0, 0, id, nullptr);
    case ControlKind::ScrollBar:
      return Control(hwnd(), L"SCROLLBAR", "", SBS_HORZ | WS_TABSTOP, 0, 0, 0, 0, id, nullptr);
    case ControlKind::ReadOnlyEdit:
      return Control(hwnd(), L"EDIT", "", ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_DISABLED, 0, 0, 0, 0, id,
                     nullptr);
    case ControlKind::VideoPanel:
      return Panel(hwnd(), L"QuorrelPreviewPanel", kDialogBackground, 0, 0, 0, 0);
    case ControlKind::NumberBox:
      // Only the idle watcher's minutes are one, which Windows leaves out.
      break;
  }
  return nullptr;
}

SIZE LaidOutWindow::outerSize() const {
  if (layout_->frame == WindowFrame::Sizeable) {
    return SIZE{ScaledLength(layout_->width, dpi_), ScaledLength(layout_->height, dpi_)};
  }
  return OuterSizeForDpi(style_, exStyle_, ScaledLength(layout_->width, dpi_), ScaledLength(layout_->height, dpi_),
                         dpi_);
}

void LaidOutWindow::fitFrameToClient() {
  if (layout_->frame != WindowFrame::Fixed) return;
  // The frame's size at a DPI is what the system computes for it, which
  // may not be what the frame measures: the client area is measured and
  // the window grown or shrunk by the difference.
  RECT outer{};
  RECT client{};
  ::GetWindowRect(hwnd(), &outer);
  ::GetClientRect(hwnd(), &client);
  const int wrongWidth = ScaledLength(layout_->width, dpi_) - client.right;
  const int wrongHeight = ScaledLength(layout_->height, dpi_) - client.bottom;
  if (wrongWidth == 0 && wrongHeight == 0) return;
  ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left + wrongWidth, outer.bottom - outer.top + wrongHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LaidOutWindow::dpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  // Windows suggests a place and size on the new monitor that keeps the
  // window where the user dragged it.
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  fitFrameToClient();
  placeControls();
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void LaidOutWindow::placeControls() {
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(layout_->font, dpi_)), FALSE);
  for (const Built& built : built_) {
    const ControlLayout& row = *built.row;
    if (row.kind != ControlKind::SunkenPanel && row.kind != ControlKind::ScrollBar &&
        row.kind != ControlKind::VideoPanel) {
      ::SendMessageW(built.window, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(row.font, dpi_)), FALSE);
    }
    if (row.kind == ControlKind::FittedLabel) {
      fitToText(built);
      continue;
    }
    const Rect place = ScaledRect(layout_->placeInWindow(row.id), dpi_);
    ::MoveWindow(built.window, place.left, place.top, place.width, place.height, TRUE);
    if (row.kind == ControlKind::ListBox) {
      ::SendMessageW(built.window, LB_SETITEMHEIGHT, 0, ScaledLength(kVideoListRowHeight, dpi_));
    }
  }
}

void LaidOutWindow::fitToText(const Built& label) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(label.window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(label.window, text.data(), static_cast<int>(text.size()))));
  RECT extent{0, 0, 0, 0};
  if (HDC dc = ::GetDC(label.window)) {
    const HGDIOBJ old = ::SelectObject(dc, fontOf(label.row->font, dpi_));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(label.window, dc);
  }
  const Rect place = ScaledRect(layout_->placeInWindow(label.row->id), dpi_);
  ::MoveWindow(label.window, place.left, place.top, extent.right, extent.bottom, TRUE);
}

HWND LaidOutWindow::control(ControlId id) const {
  for (const Built& built : built_) {
    if (built.row->id == id) return built.window;
  }
  return nullptr;
}

const LaidOutWindow::Built* LaidOutWindow::find(HWND window) const {
  for (const Built& built : built_) {
    if (built.window == window) return &built;
  }
  return nullptr;
}

ControlId LaidOutWindow::commandSource(WPARAM wParam) const {
  const int command = LOWORD(wParam);
  for (const Built& built : built_) {
    if (commandOf(*built.row) == command) return built.row->id;
  }
  return ControlId::Window;
}

void LaidOutWindow::setFittedText(ControlId id, const std::string& text) {
  for (const Built& built : built_) {
    if (built.row->id != id) continue;
    SetText(built.window, text);
    fitToText(built);
  }
}

LRESULT LaidOutWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      const Built* built = find(reinterpret_cast<HWND>(lParam));
      const bool navy = built != nullptr && built->row->navy;
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kDialogBackground,
                            navy ? kNavy : RGB(0, 0, 0));
    }
    case WM_CTLCOLORLISTBOX:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kListBackground,
                            RGB(0, 0, 0));
    case WM_DPICHANGED:
      // Moved to a monitor of another scale, or the scale changed.
      dpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    default:
      break;
  }
  return Window::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
