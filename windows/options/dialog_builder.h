#pragma once

#include <windows.h>

#include <vector>

#include "options/dialog_layout.h"
#include "windows/base/window.h"

namespace quorrel::windows_desktop {

// A window of the configuration mode made from its layout's rows: every
// control is a child of the window itself (a group box's contents are
// placed from the box's corner), so that all their notices reach the
// window. Text is navy or black as the rows say, on the dialogs'
// background.
class LaidOutWindow : public Window {
 public:
  // The control of `id`; nullptr for a control this window does not have.
  [[nodiscard]] HWND control(ControlId id) const;
  [[nodiscard]] const WindowLayout& layout() const { return *layout_; }
  // The DPI the window is laid out for.
  [[nodiscard]] int dpi() const { return dpi_; }

 protected:
  // Makes the window, hidden, with the layout's title and size, and every
  // control of the layout in the rows' order, which is the controls' focus
  // order, all scaled to the DPI of the monitor the window is on; moved to
  // a monitor of another scale, it is laid out again for that one.
  void createLaidOut(const wchar_t* windowClass, DWORD exStyle, DWORD style, const WindowLayout& layout, HWND owner);
  // The control a WM_COMMAND came from (ControlId::Window for anything
  // else). The default button reports IDOK, as the dialog keys send it.
  [[nodiscard]] ControlId commandSource(WPARAM wParam) const;
  // A fitted label takes its new text's size.
  void setFittedText(ControlId id, const std::string& text);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Built {
    const ControlLayout* row;
    HWND window;
  };
  [[nodiscard]] const Built* find(HWND window) const;
  HWND makeControl(const ControlLayout& row);
  [[nodiscard]] SIZE outerSize() const;
  // A fixed window's client area exactly its layout's size at its DPI.
  void fitFrameToClient();
  void dpiChanged(int dpi, const RECT& suggested);
  // Every control at its place, size and font.
  void placeControls();
  void fitToText(const Built& label);

  const WindowLayout* layout_ = nullptr;
  std::vector<Built> built_;
  int dpi_ = kLayoutDpi;
  DWORD style_ = 0;
  DWORD exStyle_ = 0;
};

}  // namespace quorrel::windows_desktop
