#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quorrel::test {

// The names of the files a folder holds, sorted, besides the write lock's
// own file, which stays beside the settings file by design: whatever is
// listed beyond the settings file is a leftover.
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!(name.starts_with('.') && name.ends_with(".lock"))) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quorrel::test
