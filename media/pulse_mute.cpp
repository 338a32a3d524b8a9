#include "media/system_mute.h"
namespace quorrel {
std::unique_ptr<SystemMute> CreatePulseMute() { return nullptr; }
}  // namespace quorrel
