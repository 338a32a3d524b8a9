#include "tests/linux/desktops/screen_picture.h"

#include <algorithm>
#include <stdexcept>

namespace quorrel::test {

Screenshot ScreenshotOf(const QImage& picture) {
  if (picture.isNull()) throw std::runtime_error("the desktop's screenshot is no picture");
  // ARGB32 pixels lie in memory blue first, as Screenshot keeps them.
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
  std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(image.height()));
  for (int y = 0; y < image.height(); ++y) {
    const uchar* line = image.constScanLine(y);
    std::copy(line, line + rowBytes, pixels.begin() + static_cast<std::ptrdiff_t>(rowBytes * y));
  }
  return Screenshot(image.width(), image.height(), std::move(pixels));
}

}  // namespace quorrel::test
