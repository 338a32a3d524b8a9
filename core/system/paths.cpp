#include "system/paths.h"

namespace quorrel {

std::size_t LastSeparator(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

bool IsDriveRoot(const std::string& folder) {
#ifdef _WIN32
  return folder.size() == 3 && folder[1] == ':' && IsPathSeparator(folder[2]);
#else
  (void)folder;
  return false;
#endif
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  // The folder of "C:\a.ini" is "C:\", not the drive's current folder "C:".
  if (IsDriveRoot(path.substr(0, slash + 1))) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string FolderWithSeparator(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && IsPathSeparator(folder.back())) return folder + name;
  return folder + kPathSeparator + name;
}

std::string WithoutTrailingSeparator(std::string folder) {
  if (folder.size() > 1 && IsPathSeparator(folder.back()) && !IsDriveRoot(folder)) folder.pop_back();
  return folder;
}

}  // namespace quorrel
