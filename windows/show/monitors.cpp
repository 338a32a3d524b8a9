#include "windows/show/monitors.h"

#include <windows.h>

#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

// GetDpiForMonitor lives in shcore.dll from Windows 8.1 on; it is looked up
// so that the program starts without it.
int monitorDpi(HMONITOR monitor) {
  using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const DpiForMonitor dpiForMonitor = [] {
    const HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return shcore == nullptr
               ? nullptr
               : reinterpret_cast<DpiForMonitor>(reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")));
  }();
  UINT x = 0;
  UINT y = 0;
  // 0: MDT_EFFECTIVE_DPI, the DPI windows on that monitor are scaled by.
  if (dpiForMonitor != nullptr && SUCCEEDED(dpiForMonitor(monitor, 0, &x, &y)) && x > 0) return static_cast<int>(x);
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
  return dpi;
}

BOOL CALLBACK listMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*place*/, LPARAM list) {
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return TRUE;
  const RECT& area = info.rcMonitor;
  auto& monitors = *reinterpret_cast<std::vector<Monitor>*>(list);
  const Monitor found{Rect{area.left, area.top, area.right - area.left, area.bottom - area.top}, monitorDpi(monitor),
                      (info.dwFlags & MONITORINFOF_PRIMARY) != 0, Narrow(info.szDevice)};
  if (found.primary) {
    monitors.insert(monitors.begin(), found);
  } else {
    monitors.push_back(found);
  }
  return TRUE;
}

}  // namespace

std::vector<Monitor> SystemMonitors() {
  std::vector<Monitor> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, &listMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    monitors.push_back(Monitor{Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                               monitorDpi(nullptr), true, "primary"});
  }
  return monitors;
}

Monitor PrimaryMonitor() { return SystemMonitors().front(); }

}  // namespace quorrel::windows_desktop
