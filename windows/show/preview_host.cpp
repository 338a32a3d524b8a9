#include "windows/show/preview_host.h"

#include <algorithm>
#include <string>

#include "base/log.h"
#include "windows/base/window.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

constexpr DWORD kHostCheckMilliseconds = 50;

struct HostWatch {
  HWND host;
  DWORD graceMilliseconds;
};

DWORD WINAPI watchHost(void* parameter) {
  const HostWatch watch = *static_cast<HostWatch*>(parameter);
  delete static_cast<HostWatch*>(parameter);
  while (::IsWindow(watch.host)) ::Sleep(kHostCheckMilliseconds);
  ::Sleep(watch.graceMilliseconds);
  LogError("the preview's host window has gone; the preview ends");
  ::TerminateProcess(::GetCurrentProcess(), 0);
  return 0;
}

}  // namespace

void EndProcessWhenWindowGoes(HWND host, std::chrono::milliseconds grace) {
  auto* watch = new HostWatch{host, static_cast<DWORD>(grace.count())};
  HANDLE thread = ::CreateThread(nullptr, 0, &watchHost, watch, 0, nullptr);
  if (thread == nullptr) {
    delete watch;
    return;
  }
  ::CloseHandle(thread);
}

bool HostShown(HWND host) {
  if (::IsWindowVisible(host) == FALSE) return false;
  const HWND topLevel = ::GetAncestor(host, GA_ROOT);
  return topLevel == nullptr || ::IsIconic(topLevel) == FALSE;
}

void FitMessageLabel(HWND label, const std::string& text, int width, int height, int largestPixels) {
  // A margin of a thirtieth of the width, at least two pixels, keeps the
  // text off the host's frame.
  const int margin = std::max(2, width / 30);
  const int textWidth = std::max(1, width - 2 * margin);
  const int textHeight = std::max(1, height - 2 * margin);
  const std::wstring wide = Widen(text);
  HDC dc = ::GetDC(label);
  HFONT font = PixelFont(L"Arial", largestPixels);
  // The smallest size still readable on a small screen is the floor; a
  // text too long even for it is cut off at the bottom.
  for (int pixels = largestPixels; pixels >= 6; --pixels) {
    font = PixelFont(L"Arial", pixels);
    const HGDIOBJ previous = ::SelectObject(dc, font);
    RECT needed{0, 0, textWidth, 0};
    ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    ::SelectObject(dc, previous);
    if (needed.bottom <= textHeight && needed.right <= textWidth) break;
  }
  ::ReleaseDC(label, dc);
  ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ::MoveWindow(label, margin, margin, textWidth, textHeight, TRUE);
}

}  // namespace quorrel::windows_desktop
