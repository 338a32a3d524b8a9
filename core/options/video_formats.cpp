#include "options/video_formats.h"

#include <algorithm>

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

std::vector<VideoFilter> VideoChooserFilters(const VideoExtensions& playable) {
  return {{"All Videos", playable},
          {"MPEG AVI MOV WMV", {"mpg", "avi", "mov", "wmv", "mpe", "mpeg"}},
          {"MPEG", {"mpg", "mpe", "mpeg"}},
          {"AVI", {"avi"}},
          {"MOV", {"mov"}},
          {"WMV", {"wmv"}}};
}

bool HasVideoExtension(std::string_view name, const VideoExtensions& extensions) {
  return std::any_of(extensions.begin(), extensions.end(), [&](std::string_view extension) {
    return name.size() > extension.size() && name[name.size() - extension.size() - 1] == '.' &&
           endsWithNoCase(name, extension);
  });
}

std::vector<std::string> VideoFilesIn(const std::string& folder, const std::vector<FolderEntry>& entries,
                                      const VideoExtensions& extensions) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) {
    if (entry.regularFile && HasVideoExtension(entry.name, extensions)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  for (auto& name : names) name = JoinPath(folder, name);
  return names;
}

}  // namespace quorrel
