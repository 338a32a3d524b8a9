#pragma once

namespace quorrel::windows_desktop {

// Whether the system has a sound output device to play to: the default
// render endpoint Windows would use.
[[nodiscard]] bool SoundOutputExists();

}  // namespace quorrel::windows_desktop
