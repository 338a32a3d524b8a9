#pragma once

#include <optional>
#include <string>
#include <vector>

#include "system/file_system.h"

namespace quorrel {

// What the video list asks the file system about the videos a user adds:
// whether a file can be read, and what a folder holds. The platform's file
// system answers by default. A test answers in its place for the files and
// folders a user may not read, which the tests could otherwise only make
// with a second user (they may run as root, who may read everything).
class VideoFileAccess {
 public:
  virtual ~VideoFileAccess() = default;
  [[nodiscard]] virtual ReadAccess readAccessOf(const std::string& path) const { return ReadAccessOf(path); }
  // Nothing when the folder cannot be read.
  [[nodiscard]] virtual std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder) const {
    return ListFolder(folder);
  }
};

}  // namespace quorrel
