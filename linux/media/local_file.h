#pragma once

#include <cstdint>
#include <string>

namespace quorrel::linux_desktop {

// Players open local files only: a name that is an address or a protocol
// (http://, av://, lavfi:, memory://), that begins with a hyphen (which a
// media library might take for an option), or that does not name an
// existing regular file is refused before any library sees it. On success
// `path` is the absolute path to hand on, which can never be read as a
// protocol. Returns 0 or a media_errors code.
[[nodiscard]] std::uint32_t CheckLocalFile(const std::string& name, std::string& path);

}  // namespace quorrel::linux_desktop
