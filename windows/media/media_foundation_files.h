#pragma once

#include <cstdint>
#include <string>

// What the Media Foundation back ends (the Media Engine's and the silent
// video player's) share: which paths they may be given, and the text of
// their error codes.

namespace quorrel::windows_desktop {

// A path Media Foundation may be given: an existing local file (or one on
// a network share) and nothing else, so that a list entry that reads as a
// URL is never fetched.
[[nodiscard]] bool IsExistingFile(const std::wstring& path);

// The system's text for an HRESULT, without its line break; empty when it
// has none.
[[nodiscard]] std::string HresultText(std::uint32_t code);

}  // namespace quorrel::windows_desktop
