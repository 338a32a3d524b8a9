#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system/file_system.h"

namespace quorrel {

// The extensions (without the dot, lower case) of the video files that a
// platform's player opens. Each front end has one such list, used both by
// its video chooser's first entry and by "Add Entire Folder".
using VideoExtensions = std::vector<std::string_view>;

// One entry of the video chooser's list of file types.
struct VideoFilter {
  std::string name;
  VideoExtensions extensions;
};

// The video chooser's entries, the first one preselected: "All Videos"
// with every extension the platform plays, then the five fixed entries
// users have always had ("MPEG AVI MOV WMV", "MPEG", "AVI", "MOV", "WMV").
[[nodiscard]] std::vector<VideoFilter> VideoChooserFilters(const VideoExtensions& playable);

// Whether the file name ends in "." and one of the extensions, in any
// letter case.
[[nodiscard]] bool HasVideoExtension(std::string_view name, const VideoExtensions& extensions);

// The full paths of the files among a folder's `entries` whose names have
// one of the extensions (regular files, or links to them; subfolders are
// not entered), sorted by name byte for byte.
[[nodiscard]] std::vector<std::string> VideoFilesIn(const std::string& folder, const std::vector<FolderEntry>& entries,
                                                    const VideoExtensions& extensions);

}  // namespace quorrel
