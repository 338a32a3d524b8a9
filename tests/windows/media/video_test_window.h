#pragma once

#include <windows.h>

#include <chrono>

// A visible top-level window with a black panel that a player draws into,
// and a wait that runs the thread's message loop (the video's frames come
// through its timer) until a condition holds or a deadline passes.

namespace quorrel::windows_desktop::test {

class VideoTestWindow {
 public:
  VideoTestWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
      wc.lpszClassName = L"QuorrelVideoTestWindow";
      return ::RegisterClassW(&wc);
    }();
    const auto name = reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(windowClass));
    top_ = ::CreateWindowExW(0, name, L"video test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 640, 480,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    panel_ = ::CreateWindowExW(0, name, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 20, 10, 600, 440, top_,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }
  ~VideoTestWindow() { ::DestroyWindow(top_); }
  VideoTestWindow(const VideoTestWindow&) = delete;
  VideoTestWindow& operator=(const VideoTestWindow&) = delete;

  [[nodiscard]] HWND panel() const { return panel_; }
  // The player's frame window inside the panel, or nullptr.
  [[nodiscard]] HWND frameWindow() const { return ::FindWindowExW(panel_, nullptr, L"QuorrelVideoFrame", nullptr); }
  // The frame window's place in the panel, as left, top, width, height.
  [[nodiscard]] RECT framePlace() const {
    RECT place{};
    ::GetWindowRect(frameWindow(), &place);
    ::MapWindowPoints(HWND_DESKTOP, panel_, reinterpret_cast<POINT*>(&place), 2);
    return RECT{place.left, place.top, place.right - place.left, place.bottom - place.top};
  }
  // A pixel of the frame window as drawn, CLR_INVALID without one.
  [[nodiscard]] COLORREF framePixel(int x, int y) const {
    const HWND frame = frameWindow();
    if (frame == nullptr) return CLR_INVALID;
    HDC dc = ::GetDC(frame);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(frame, dc);
    return colour;
  }

 private:
  HWND top_ = nullptr;
  HWND panel_ = nullptr;
};

template <typename Condition>
bool PumpUntil(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

inline bool IsReddish(COLORREF colour) {
  return colour != CLR_INVALID && GetRValue(colour) > 180 && GetGValue(colour) < 70 && GetBValue(colour) < 70;
}

}  // namespace quorrel::windows_desktop::test
