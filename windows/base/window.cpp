#include "windows/base/window.h"

#include <commctrl.h>

#include <exception>
#include <map>
#include <string_view>
#include <tuple>

#include "base/messages.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

HBRUSH SolidBrush(COLORREF colour) {
  static std::map<COLORREF, HBRUSH> brushes;
  auto& brush = brushes[colour];
  if (brush == nullptr) brush = ::CreateSolidBrush(colour);
  return brush;
}

HFONT PixelFont(const wchar_t* family, int pixels) { return DialogFont(family, -pixels); }

namespace {

// The pitch and family of the faces the dialogs name, so that where a face
// is missing (under Wine, say) the font mapper picks a like one: a fixed
// pitch for the disclaimer's Courier New, not the system's sans serif.
BYTE pitchAndFamilyOf(std::wstring_view family) {
  if (family == L"Courier New" || family == L"Terminal") return FIXED_PITCH | FF_MODERN;
  if (family == L"Arial" || family == L"MS Sans Serif") return VARIABLE_PITCH | FF_SWISS;
  return DEFAULT_PITCH | FF_DONTCARE;
}

}  // namespace

HFONT DialogFont(const wchar_t* family, int points, bool bold, BYTE charset, int dpi) {
  static std::map<std::tuple<std::wstring, int, bool, BYTE, int>, HFONT> fonts;
  auto& font = fonts[{family, points, bold, charset, dpi}];
  if (font == nullptr) {
    // A negative size asks for that many pixels of character height; a
    // positive one is points at the screen's dots per inch.
    const int height = points < 0 ? points : -::MulDiv(points, dpi, 72);
    font = ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamilyOf(family), family);
  }
  return font;
}

HWND Control(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int left, int top,
             int width, int height, int id, HFONT font) {
  HWND control = ::CreateWindowExW(0, windowClass, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, left, top, width,
                                   height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
  if (font != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

HWND Panel(HWND parent, const wchar_t* windowClass, COLORREF background, int left, int top, int width, int height) {
  WNDCLASSW wc{};
  if (!::GetClassInfoW(::GetModuleHandleW(nullptr), windowClass, &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = SolidBrush(background);
    wc.lpszClassName = windowClass;
    ::RegisterClassW(&wc);
  }
  return ::CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, left, top, width, height,
                           parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void SetText(HWND window, const std::string& utf8) { ::SetWindowTextW(window, Widen(utf8).c_str()); }

std::string Text(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

void CentreOnScreen(HWND window) {
  RECT place{};
  ::GetWindowRect(window, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  ::SetWindowPos(window, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height) {
  RECT place{0, 0, width, height};
  ::AdjustWindowRectEx(&place, style, FALSE, exStyle);
  return SIZE{place.right - place.left, place.bottom - place.top};
}

void ReportError(HWND owner, const std::string& message) {
  ::MessageBoxW(owner, Widen(GeneralErrorText(message)).c_str(), Widen(ApplicationTitle()).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

Window::~Window() {
  if (hwnd_ != nullptr) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

void Window::create(const wchar_t* windowClass, COLORREF background, DWORD exStyle, DWORD style,
                    const std::string& title, int left, int top, int width, int height, HWND owner) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!::GetClassInfoExW(::GetModuleHandleW(nullptr), windowClass, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Window::procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = SolidBrush(background);
    wc.lpszClassName = windowClass;
    ::RegisterClassExW(&wc);
  }
  ::CreateWindowExW(exStyle, windowClass, Widen(title).c_str(), style, left, top, width, height, owner, nullptr,
                    ::GetModuleHandleW(nullptr), this);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (const auto drawn = drawnButtons_.find(item.hwndItem); drawn != drawnButtons_.end()) {
      DrawButton(item, drawn->second);
      return TRUE;
    }
  }
  if (message == WM_DESTROY && endsMessageLoop_) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

HWND Window::drawnButton(const std::string& caption, int left, int top, int width, int height, int id, HFONT font,
                         const ButtonLook& look) {
  HWND button = Control(hwnd_, L"BUTTON", caption, BS_OWNERDRAW | WS_TABSTOP, left, top, width, height, id, font);
  drawnButtons_[button] = look;
  return button;
}

void Window::addTooltip(HWND control, const std::string& text) {
  if (tooltips_ == nullptr) {
    static const bool initialised = [] {
      INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
      return ::InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)initialised;
    tooltips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  }
  std::wstring wide = Widen(text);
  TTTOOLINFOW tool{};
  // The size the common controls of every Windows version take: without a
  // manifest asking for version 6, the older library refuses the larger
  // record.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT Window::controlColours(HDC dc, HWND /*control*/, COLORREF background, COLORREF text) {
  ::SetBkColor(dc, background);
  ::SetTextColor(dc, text);
  return reinterpret_cast<LRESULT>(SolidBrush(background));
}

LRESULT CALLBACK Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->handle(message, wParam, lParam);
  } catch (const std::exception& error) {
    // The interrupted handler does not go on; the application does.
    ReportError(window, error.what());
  }
  return 0;
}

void RunModal(HWND dialog, HWND owner) {
  if (owner != nullptr) ::EnableWindow(owner, FALSE);
  ::ShowWindow(dialog, SW_SHOW);
  ::SetForegroundWindow(dialog);
  MSG message{};
  while (::IsWindow(dialog) && ::IsWindowVisible(dialog)) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The application is ending: the loop above must see WM_QUIT too.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (owner != nullptr) {
    ::EnableWindow(owner, TRUE);
    ::SetForegroundWindow(owner);
  }
}

int RunMessageLoop(HWND dialog) {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (dialog != nullptr && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace quorrel::windows_desktop
