#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "base/geometry.h"

namespace quorrel::windows_desktop {

// A child of a player's display window, at the video's rectangle, that
// shows the last frame it was given stretched to its own size (black until
// the first). It also beats the time for the frames: every few
// milliseconds its timer calls `tick` on the user-interface thread, through
// that thread's message loop, so the frames are fetched and drawn on the
// thread that owns the window and nothing is locked.
class VideoFrameWindow {
 public:
  VideoFrameWindow(HWND parent, const Rect& place, std::function<void()> tick);
  ~VideoFrameWindow();
  VideoFrameWindow(const VideoFrameWindow&) = delete;
  VideoFrameWindow& operator=(const VideoFrameWindow&) = delete;

  // nullptr when the window could not be made.
  [[nodiscard]] HWND hwnd() const { return window_; }
  void place(const Rect& rect);
  // Takes the frame (rows from the top, 32-bit blue-green-red-unused) and
  // draws it at once.
  void show(std::uint32_t width, std::uint32_t height, std::vector<std::uint32_t>& pixels);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void paint(HDC dc);

  HWND window_ = nullptr;
  std::function<void()> tick_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace quorrel::windows_desktop
