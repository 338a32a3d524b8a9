#include "windows/media/nv12_pixels.h"

#include <algorithm>

namespace quorrel::windows_desktop {

namespace {

std::uint8_t clamped(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

}  // namespace

// With the BT.601 video-range matrix, which decoders give for standard
// definition and which is near enough for the rest in a fallback.
void Nv12ToPixels(const BYTE* picture, DWORD size, LONG stride, std::uint32_t width, std::uint32_t height,
                  std::vector<std::uint32_t>& pixels) {
  // Decoders pad the luma plane's height to their block size; the chroma
  // plane starts after the padded rows.
  const std::size_t rows = std::max<std::size_t>(height, size * 2 / 3 / static_cast<std::size_t>(stride));
  const BYTE* chroma = picture + rows * static_cast<std::size_t>(stride);
  pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    const BYTE* luma = picture + static_cast<std::size_t>(y) * stride;
    const BYTE* pair = chroma + static_cast<std::size_t>(y / 2) * stride;
    std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * width;
    for (std::uint32_t x = 0; x < width; ++x) {
      const int c = 298 * (luma[x] - 16) + 128;
      const int d = pair[x & ~1u] - 128;
      const int e = pair[(x & ~1u) + 1] - 128;
      out[x] = static_cast<std::uint32_t>(clamped((c + 516 * d) >> 8)) |
               (static_cast<std::uint32_t>(clamped((c - 100 * d - 208 * e) >> 8)) << 8) |
               (static_cast<std::uint32_t>(clamped((c + 409 * e) >> 8)) << 16);
    }
  }
}

}  // namespace quorrel::windows_desktop
