#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "windows/base/drawn_button.h"

// The pieces every Win32 window of Quorrel is made of: fonts, colours,
// controls at fixed places, a window whose messages reach a C++ object, and
// the modal loop of the sub-dialogs.

namespace quorrel::windows_desktop {

inline constexpr COLORREF kDialogBackground = RGB(232, 231, 230);
inline constexpr COLORREF kListBackground = RGB(232, 232, 232);
inline constexpr COLORREF kNavy = RGB(0, 0, 128);

// A solid brush of one colour, made once and kept for the process.
[[nodiscard]] HBRUSH SolidBrush(COLORREF colour);

// A font by family name at a size in points on a screen of `dpi` dots per
// inch (at 96, size 8 is 11 pixels high); made once and kept.
[[nodiscard]] HFONT DialogFont(const wchar_t* family, int points, bool bold = false, BYTE charset = DEFAULT_CHARSET,
                               int dpi = 96);
// A font by its character height in pixels.
[[nodiscard]] HFONT PixelFont(const wchar_t* family, int pixels);

// A child control of a standard class at a fixed place and size, with its
// text (UTF-8) and font. `id` is what WM_COMMAND reports it by.
HWND Control(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int left, int top,
             int width, int height, int id, HFONT font);

// A plain child window of one colour, with no frame, that a video player
// draws into; `windowClass` is registered with that colour the first time.
HWND Panel(HWND parent, const wchar_t* windowClass, COLORREF background, int left, int top, int width, int height);

void SetText(HWND window, const std::string& utf8);
[[nodiscard]] std::string Text(HWND window);

// Moves a window of its present size to the middle of the primary screen.
void CentreOnScreen(HWND window);
// The outer size of a window whose client area is `width` by `height`.
[[nodiscard]] SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height);

// Reports an error that escaped a handler: the general error report, a
// box with the error icon, the application's title and the error's text.
void ReportError(HWND owner, const std::string& message);

// A top-level window whose messages go to handle(). Handlers run inside
// one place that catches what escapes them and shows it as the general
// error report, after which the window goes on.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  [[nodiscard]] HWND hwnd() const { return hwnd_; }

 protected:
  // A mode's main window: destroying it ends the thread's message loop,
  // and with it the mode.
  void endMessageLoopWhenDestroyed() { endsMessageLoop_ = true; }
  // Registers the class the first time (the background brush is the
  // class's) and creates the window.
  void create(const wchar_t* windowClass, COLORREF background, DWORD exStyle, DWORD style, const std::string& title,
              int left, int top, int width, int height, HWND owner);
  virtual LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  // The colours of static texts, radio buttons and group boxes: the
  // dialog's background, and black text unless the control is listed.
  LRESULT controlColours(HDC dc, HWND control, COLORREF background, COLORREF text);
  // A push button that this window draws (see DrawButton), for a caption
  // in colour or with a picture. Its notices come as a standard button's.
  HWND drawnButton(const std::string& caption, int left, int top, int width, int height, int id, HFONT font,
                   const ButtonLook& look);
  // Shows `text` while the mouse rests on `control`.
  void addTooltip(HWND control, const std::string& text);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  HWND tooltips_ = nullptr;
  std::map<HWND, ButtonLook> drawnButtons_;
  bool endsMessageLoop_ = false;
};

// Shows `dialog` modally over `owner`: the owner is disabled, and messages
// are pumped until the dialog is hidden or destroyed. Enter and Tab work
// as in a dialog box.
void RunModal(HWND dialog, HWND owner);

// Runs the thread's message loop until WM_QUIT, with dialog keys for
// `dialog` when it is given.
int RunMessageLoop(HWND dialog = nullptr);

}  // namespace quorrel::windows_desktop
