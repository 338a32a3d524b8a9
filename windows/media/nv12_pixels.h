#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace quorrel::windows_desktop {

// One NV12 picture of `size` bytes (a plane of luma, then one of
// interleaved chroma at half the resolution, both `stride` bytes a row) as
// `width` by `height` 32-bit blue-green-red-unused pixels, rows from the
// top: what the video decoders give where the system has no converter to
// 32-bit pixels (Wine), turned into what a frame window draws.
void Nv12ToPixels(const BYTE* picture, DWORD size, LONG stride, std::uint32_t width, std::uint32_t height,
                  std::vector<std::uint32_t>& pixels);

}  // namespace quorrel::windows_desktop
