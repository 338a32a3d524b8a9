#include "options/folder_scan.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "system/file_system.h"
#include "system/paths.h"

namespace quorrel {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  const auto tail = text.substr(text.size() - suffix.size());
  return std::equal(tail.begin(), tail.end(), suffix.begin(),
                    [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

}  // namespace

bool IsVideoFileName(const std::string& name) {
  static constexpr std::array<std::string_view, 6> kExtensions = {".mpg", ".avi", ".mov", ".wmv", ".mpe", ".mpeg"};
  return std::any_of(kExtensions.begin(), kExtensions.end(),
                     [&](std::string_view extension) { return endsWithNoCase(name, extension); });
}

std::vector<std::string> VideoFilesInFolder(const std::string& folder) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : ListFolder(folder)) {
    if (entry.regularFile && IsVideoFileName(entry.name)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  for (auto& name : names) name = JoinPath(folder, name);
  return names;
}

}  // namespace quorrel
