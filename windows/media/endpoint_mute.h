#pragma once

#include <functional>
#include <memory>

#include "media/system_mute.h"

struct IAudioEndpointVolume;

namespace quorrel::windows_desktop {

// Opens the volume control of the system's default sound output (the
// default render endpoint): an HRESULT, and on success a reference the
// caller releases.
using EndpointVolumeOpener = std::function<long(IAudioEndpointVolume** volume)>;

// The default render endpoint of the running system, through the
// multimedia device enumerator.
[[nodiscard]] long OpenDefaultEndpointVolume(IAudioEndpointVolume** volume);

// The mute switch of the system's speaker output on Windows. The legacy
// mixer interface mutes only the calling program's own sound on Windows
// Vista and later, which would leave the system as loud as before, so the
// switch is the default render endpoint's. A failed call raises
// VolumeError with that call's HRESULT.
[[nodiscard]] std::unique_ptr<SystemMute> CreateEndpointMute(EndpointVolumeOpener opener = OpenDefaultEndpointVolume);

}  // namespace quorrel::windows_desktop
