#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "linux/media/media_backend.h"
#include "media/media_player.h"

namespace quorrel::test {

// Stands in for the application's event loop: back ends post from their own
// threads, the test drains on its own thread, as the user-interface thread
// would.
class PostQueue {
 public:
  linux_desktop::UiPoster poster();
  void drain();

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};

// A top-level window on the test display that plays the part of the show's
// panel: it selects button and key presses the way a toolkit window does,
// so a test can see whether a click on the video reaches it.
class DisplayWindow {
 public:
  DisplayWindow(int width, int height, std::uint32_t background);
  ~DisplayWindow();
  DisplayWindow(const DisplayWindow&) = delete;
  DisplayWindow& operator=(const DisplayWindow&) = delete;

  [[nodiscard]] NativeWindow id() const { return window_; }
  // The colour on screen at (x, y) of this window's client area.
  [[nodiscard]] Rgb pixel(int x, int y);
  // The number of child windows the window has now.
  [[nodiscard]] int childCount();
  // How many windows inside this one any client has asked to receive key
  // or button events for.
  [[nodiscard]] int descendantsSelectingInput();
  // True once a button press (or key press) for this window has arrived.
  [[nodiscard]] bool sawButtonPress();
  [[nodiscard]] bool sawKeyPress();
  void focus();

 private:
  void readEvents();
  xcb_connection_t* connection_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  xcb_window_t window_ = 0;
  bool buttonPress_ = false;
  bool keyPress_ = false;
};

bool Near(const Rgb& colour, const Rgb& expected, int tolerance = 40);

// The colours the tests' display windows and solid clips use.
inline constexpr std::uint32_t kGreen = 0x00ff00;
inline constexpr Rgb kGreenRgb{0, 255, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
std::string Describe(const Rgb& colour);

// Drains the queue and polls `condition` until it holds or `timeout` passes.
bool WaitWhileDraining(PostQueue& queue, const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace quorrel::test
