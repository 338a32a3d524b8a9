#include "windows/base/dpi.h"

namespace quorrel::windows_desktop {

namespace {

template <typename Function>
Function userCall(const char* name) {
  static const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 == nullptr ? nullptr
                           : reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

int systemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto dpiForWindow = userCall<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (dpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = dpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
  }
  return systemDpi();
}

SIZE OuterSizeForDpi(DWORD style, DWORD exStyle, int width, int height, int dpi) {
  static const auto adjustForDpi =
      userCall<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT place{0, 0, width, height};
  if (adjustForDpi == nullptr || !adjustForDpi(&place, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    place = RECT{0, 0, width, height};
    ::AdjustWindowRectEx(&place, style, FALSE, exStyle);
  }
  return SIZE{place.right - place.left, place.bottom - place.top};
}

int ScaledToDpi(int length, int dpi) { return ::MulDiv(length, dpi, 96); }

DpiAwarenessOf::DpiAwarenessOf(HWND window) {
  static const auto awarenessOfWindow = userCall<DPI_AWARENESS_CONTEXT(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
  static const auto setThreadAwareness =
      userCall<DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT)>("SetThreadDpiAwarenessContext");
  if (awarenessOfWindow == nullptr || setThreadAwareness == nullptr) return;
  if (const DPI_AWARENESS_CONTEXT context = awarenessOfWindow(window)) previous_ = setThreadAwareness(context);
}

DpiAwarenessOf::~DpiAwarenessOf() {
  static const auto setThreadAwareness =
      userCall<DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT)>("SetThreadDpiAwarenessContext");
  if (previous_ != nullptr && setThreadAwareness != nullptr) setThreadAwareness(previous_);
}

}  // namespace quorrel::windows_desktop
