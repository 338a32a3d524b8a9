#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quorrel::test {

// The X display as a user sees it, read and driven with the desktop's own
// tools (ImageMagick's import, xdotool).
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  [[nodiscard]] std::array<int, 3> at(int x, int y) const;
  // True when the pixel is within `tolerance` of the colour in each channel.
  [[nodiscard]] bool near(int x, int y, std::array<int, 3> colour, int tolerance = 8) const;
  // True when some pixel of the rectangle passes `test`.
  template <typename Test>
  [[nodiscard]] bool any(int left, int top, int width, int height, Test test) const {
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) {
        if (test(at(x, y))) return true;
      }
    }
    return false;
  }
};

// Captures the whole screen; a PNG copy goes to `pngCopy` for people to look at.
Screenshot CaptureScreen(const std::string& pngCopy);

struct WindowPlace {
  unsigned long id = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The visible top-level window titled exactly `title`, once it is mapped.
std::optional<WindowPlace> FindWindow(const std::string& title, int timeoutMs = 10000);

// How many visible top-level windows are titled exactly `title`.
[[nodiscard]] int WindowsTitled(const std::string& title);

void ClickAt(int x, int y);
void TypeText(const std::string& text);
void PressKey(const std::string& key);

}  // namespace quorrel::test
