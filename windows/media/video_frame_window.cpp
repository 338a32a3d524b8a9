#include "windows/media/video_frame_window.h"

#include <utility>

namespace quorrel::windows_desktop {

namespace {

constexpr UINT_PTR kFrameTimer = 1;
// The shortest period a Windows timer keeps (USER_TIMER_MINIMUM): frames
// are asked for up to a hundred times a second, more often than any video
// shows them, and a tick without a new frame costs one call.
constexpr UINT kFramePeriodMilliseconds = 10;

ATOM FrameWindowClass(WNDPROC procedure) {
  static const ATOM atom = [procedure] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"QuorrelVideoFrame";
    return ::RegisterClassW(&wc);
  }();
  return atom;
}

}  // namespace

VideoFrameWindow::VideoFrameWindow(HWND parent, const Rect& place, std::function<void()> tick)
    : tick_(std::move(tick)) {
  const ATOM windowClass = FrameWindowClass(&VideoFrameWindow::procedure);
  window_ = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(windowClass)), L"",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, place.left, place.top, place.width, place.height,
                              parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return;
  // Until the window knows its object, its messages get the default
  // handling.
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetTimer(window_, kFrameTimer, kFramePeriodMilliseconds, nullptr);
}

VideoFrameWindow::~VideoFrameWindow() {
  if (window_ == nullptr) return;
  // From here on the window's messages get the default handling, whichever
  // thread they come to.
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  if (::GetWindowThreadProcessId(window_, nullptr) != ::GetCurrentThreadId()) {
    // Released on another thread (the end of a show releases its players
    // off the user-interface thread): only the window's own thread may
    // destroy it, and a close message has it do so.
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    return;
  }
  ::KillTimer(window_, kFrameTimer);
  ::DestroyWindow(window_);
}

void VideoFrameWindow::place(const Rect& rect) {
  if (window_ != nullptr) ::MoveWindow(window_, rect.left, rect.top, rect.width, rect.height, TRUE);
}

void VideoFrameWindow::show(std::uint32_t width, std::uint32_t height, std::vector<std::uint32_t>& pixels) {
  width_ = width;
  height_ = height;
  pixels_.swap(pixels);
  if (window_ == nullptr) return;
  if (HDC dc = ::GetDC(window_)) {
    paint(dc);
    ::ReleaseDC(window_, dc);
  }
}

void VideoFrameWindow::paint(HDC dc) {
  RECT area{};
  ::GetClientRect(window_, &area);
  if (pixels_.empty() || pixels_.size() != static_cast<std::size_t>(width_) * height_) {
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    return;
  }
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = static_cast<LONG>(width_);
  format.bmiHeader.biHeight = -static_cast<LONG>(height_);  // rows from the top
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  // Plain pixel picking: the frames come many times a second, and a
  // smoothing stretch would cost more than it shows at that pace.
  ::SetStretchBltMode(dc, COLORONCOLOR);
  ::StretchDIBits(dc, 0, 0, area.right, area.bottom, 0, 0, static_cast<int>(width_), static_cast<int>(height_),
                  pixels_.data(), &format, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK VideoFrameWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<VideoFrameWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kFrameTimer) {
          self->tick_();
          return 0;
        }
        break;
      case WM_ERASEBKGND:
        return 1;  // the frame covers the whole window
      case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(window, &paint);
        self->paint(dc);
        ::EndPaint(window, &paint);
        return 0;
      }
      default:
        break;
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
