#include "config/folder_scan.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

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
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().native();
    std::error_code statusError;
    if (IsVideoFileName(name) && it->is_regular_file(statusError)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::string prefix = folder;
  if (prefix.empty() || prefix.back() != '/') prefix += '/';
  for (auto& name : names) name = prefix + name;
  return names;
}

}  // namespace quorrel
