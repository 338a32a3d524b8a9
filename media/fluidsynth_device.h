#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "media/media_device.h"

namespace quorrel {

class FluidSynthDevice {
 public:
  [[nodiscard]] static std::unique_ptr<MediaDevice> Open(const std::string& path, std::uint32_t& errorCode);
};

}  // namespace quorrel
