// Tells the DPI tests under Wine what they cannot read from the screen:
//   dpi_probe window TITLE   the DPI of the top-level window TITLE and its
//                            client area's size: "DPI WIDTH HEIGHT"
//   dpi_probe manifest FILE  the application manifest built into FILE
//   dpi_probe monitors       the monitors as the system lists them, one
//                            line each: "LEFT TOP WIDTH HEIGHT PRIMARY"
// Exit status 1 when there is no such window or manifest.

#include <windows.h>

#include <cstdio>
#include <string>

BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? 1 : 0);
  }
  return TRUE;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"monitors") {
    return ::EnumDisplayMonitors(nullptr, nullptr, &printMonitor, 0) ? 0 : 1;
  }
  if (argc < 3) return 1;
  const std::wstring what = argv[1];
  if (what == L"window") {
    HWND window = ::FindWindowW(nullptr, argv[2]);
    if (window == nullptr) return 1;
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    RECT client{};
    ::GetClientRect(window, &client);
    std::printf("%u %ld %ld\n", dpiForWindow != nullptr ? dpiForWindow(window) : 0U, client.right, client.bottom);
    return 0;
  }
  if (what == L"manifest") {
    HMODULE file = ::LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (file == nullptr) return 1;
    HRSRC found = ::FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (found == nullptr) return 1;
    const auto* text = static_cast<const char*>(::LockResource(::LoadResource(file, found)));
    std::fwrite(text, 1, ::SizeofResource(file, found), stdout);
    return 0;
  }
  return 1;
}
