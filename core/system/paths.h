#pragma once

#include <cstddef>
#include <string>

// Paths as the core handles them: UTF-8 byte strings with the platform's
// separators. Nothing here touches the file system.

namespace quorrel {

// Whether `c` separates folders in a path: '/' everywhere, and '\' too on
// Windows (where it is the system's own separator).
[[nodiscard]] constexpr bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

// The separator this platform writes between a folder and a name.
inline constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// The position of the last separator in `path`, or npos.
[[nodiscard]] std::size_t LastSeparator(const std::string& path);

// Whether `folder` is a drive's root folder with its separator ("C:\");
// without the separator, "C:" would name the drive's current folder.
// Always false where paths have no drives.
[[nodiscard]] bool IsDriveRoot(const std::string& folder);

// The folder part of a path ("." for a bare name; "/" and "C:\" keep their
// separator).
[[nodiscard]] std::string FolderOf(const std::string& path);

// The folder part of a path with its separator ("/v/a.avi" gives "/v/"),
// or empty text for a bare name.
[[nodiscard]] std::string FolderWithSeparator(const std::string& path);

// The last component of a path.
[[nodiscard]] std::string BaseNameOf(const std::string& path);

// `folder` and `name` joined by the platform's separator (none is added
// after a folder that already ends in one, such as "/" or "C:\").
[[nodiscard]] std::string JoinPath(const std::string& folder, const std::string& name);

// A folder without the separator at its end, unless it is the root or a
// drive's root folder, which need it.
[[nodiscard]] std::string WithoutTrailingSeparator(std::string folder);

}  // namespace quorrel
