#include "media/fluidsynth_device.h"

#include "media/media_errors.h"

namespace quorrel {

std::unique_ptr<MediaDevice> FluidSynthDevice::Open(const std::string&, std::uint32_t& errorCode) {
  errorCode = media_errors::kPlaybackFailed;
  return nullptr;
}

}  // namespace quorrel
