#pragma once

#include <string>
#include <string_view>

// The core keeps text and paths as UTF-8 bytes; Windows' wide calls take
// UTF-16. These convert at the boundary (Windows builds only).

namespace quorrel::windows_desktop {

// Bytes that are not valid UTF-8 become U+FFFD.
[[nodiscard]] std::wstring Widen(std::string_view utf8);
[[nodiscard]] std::string Narrow(std::wstring_view utf16);

}  // namespace quorrel::windows_desktop
