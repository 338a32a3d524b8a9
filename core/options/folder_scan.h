#pragma once

#include <string>
#include <vector>

namespace quorrel {

// True when the file name ends in one of the video chooser's first filter
// entry's extensions (mpg, avi, mov, wmv, mpe, mpeg), in any letter case.
[[nodiscard]] bool IsVideoFileName(const std::string& name);

// The full paths of the folder's video files (regular files, or links to
// them; subfolders are not entered), sorted by name byte for byte. An
// unreadable folder gives an empty list.
[[nodiscard]] std::vector<std::string> VideoFilesInFolder(const std::string& folder);

}  // namespace quorrel
