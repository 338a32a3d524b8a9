#pragma once

#include <string>

namespace quorrel::windows_desktop {

// The system folder with a trailing backslash, or empty text when the
// system cannot tell, so that a library name put after it is then looked
// up by the bare name.
[[nodiscard]] std::wstring SystemFolder();

}  // namespace quorrel::windows_desktop
