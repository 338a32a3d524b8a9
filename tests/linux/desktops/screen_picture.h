#pragma once

// Screenshots that a desktop hands over as pictures (a PNG file, raw pixels
// in a pipe), read with Qt into the tests' Screenshot.

#include <QImage>

#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {

[[nodiscard]] Screenshot ScreenshotOf(const QImage& picture);

}  // namespace quorrel::test
