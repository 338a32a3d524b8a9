#include "tests/linux/options/x_screen.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "tests/support/process.h"

namespace quorrel::test {

std::array<int, 3> Screenshot::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
  const auto offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
  return {rgb[offset], rgb[offset + 1], rgb[offset + 2]};
}

bool Screenshot::near(int x, int y, std::array<int, 3> colour, int tolerance) const {
  const auto pixel = at(x, y);
  for (int i = 0; i < 3; ++i) {
    if (std::abs(pixel[static_cast<std::size_t>(i)] - colour[static_cast<std::size_t>(i)]) > tolerance) return false;
  }
  return true;
}

Screenshot CaptureScreen(const std::string& pngCopy) {
  const std::string ppm = pngCopy + ".ppm";
  const auto captured = RunProcess({"import", "-window", "root", "-depth", "8", "ppm:" + ppm});
  if (captured.exitStatus != 0) throw std::runtime_error("import failed: " + captured.output);
  (void)RunProcess({"convert", ppm, pngCopy});
  const std::string data = ReadFile(ppm);
  std::remove(ppm.c_str());
  // A binary PPM: "P6", width, height, maximum value, one blank, then RGB.
  std::istringstream header(data);
  std::string magic;
  int maxValue = 0;
  Screenshot shot;
  header >> magic >> shot.width >> shot.height >> maxValue;
  if (magic != "P6" || maxValue != 255) throw std::runtime_error("unexpected screenshot format");
  const auto start = static_cast<std::size_t>(header.tellg()) + 1;
  shot.rgb.assign(data.begin() + static_cast<std::ptrdiff_t>(start), data.end());
  if (shot.rgb.size() < static_cast<std::size_t>(shot.width * shot.height * 3)) {
    throw std::runtime_error("short screenshot");
  }
  return shot;
}

std::optional<WindowPlace> FindWindow(const std::string& title, int timeoutMs) {
  std::optional<WindowPlace> found;
  WaitUntil(
      [&] {
        const auto search = RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
        std::istringstream ids(search.output);
        unsigned long id = 0;
        if (!(ids >> id)) return false;
        const auto geometry = RunProcess({"xdotool", "getwindowgeometry", std::to_string(id)});
        WindowPlace place;
        place.id = id;
        if (std::sscanf(geometry.output.c_str(), "Window %*u Position: %d,%d (screen: %*d) Geometry: %dx%d",
                        &place.left, &place.top, &place.width, &place.height) != 4) {
          return false;
        }
        found = place;
        return true;
      },
      std::chrono::milliseconds(timeoutMs));
  return found;
}

int WindowsTitled(const std::string& title) {
  const auto search = RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
  std::istringstream ids(search.output);
  int count = 0;
  for (unsigned long id = 0; ids >> id;) ++count;
  return count;
}

void ClickAt(int x, int y) {
  (void)RunProcess({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

void TypeText(const std::string& text) { (void)RunProcess({"xdotool", "type", "--delay", "8", text}); }

void PressKey(const std::string& key) { (void)RunProcess({"xdotool", "key", key}); }

}  // namespace quorrel::test
