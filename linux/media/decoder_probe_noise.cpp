#include "linux/media/decoder_probe_noise.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

namespace quorrel::linux_desktop {

namespace {

// A line of the probe's, without its line end.
bool isProbeNoise(std::string_view line) {
  // FFmpeg's loader names the library it could not load; libmpv's output
  // loads only the CUDA driver's, and the decoder's own probe logs through
  // libmpv. libvdpau adds dlerror's text, in the user's language.
  return line == "Cannot load libcuda.so.1" || line == "Cannot load libnvcuvid.so.1" ||
         line.starts_with("Failed to open VDPAU backend ");
}

bool writeAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// The stream is unbuffered, so each fprintf, fputs or fwrite arrives here
// whole, in one call, and goes to the descriptor in one write: lines of
// several processes sharing one standard error do not interleave, and
// nothing waits in a buffer when the process dies.
ssize_t writeFiltered(void* /*cookie*/, const char* data, std::size_t size) {
  const std::string_view text(data, size);
  std::string kept;
  bool dropped = false;
  for (std::size_t start = 0; start < size;) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? size : end + 1;
    if (end != std::string_view::npos && isProbeNoise(text.substr(start, end - start))) {
      dropped = true;
    } else {
      kept.append(text.substr(start, next - start));
    }
    start = next;
  }
  const bool written = dropped ? writeAll(kept.data(), kept.size()) : writeAll(data, size);
  return written ? static_cast<ssize_t>(size) : -1;
}

}  // namespace

void FilterDecoderProbeNoise() {
  const cookie_io_functions_t functions{nullptr, &writeFiltered, nullptr, nullptr};
  FILE* filtered = fopencookie(nullptr, "w", functions);
  if (filtered == nullptr) return;
  std::setvbuf(filtered, nullptr, _IONBF, 0);
  // Every library writes through the C library's `stderr`, which may be set
  // like any variable. The original stream stays open for what holds it
  // already (C++'s std::cerr), and writes to the same descriptor.
  stderr = filtered;
}

}  // namespace quorrel::linux_desktop
