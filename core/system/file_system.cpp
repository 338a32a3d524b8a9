#include "system/file_system.h"

#include <atomic>
#include <charconv>
#include <random>

#include "system/temporary_files.h"

namespace quorrel {

std::size_t LastSeparator(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
#ifdef _WIN32
  // A drive's root folder keeps its separator: the folder of "C:\a.ini"
  // is "C:\", not the drive's current folder "C:".
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
#endif
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = LastSeparator(path);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && IsPathSeparator(folder.back())) return folder + name;
  return folder + kPathSeparator + name;
}

std::string TemporaryPrefix(const std::string& target) { return "." + BaseNameOf(target) + ".tmp-"; }

std::string TemporaryName(const std::string& target, std::uint64_t processId) {
  static std::atomic<unsigned> counter{0};
  static thread_local std::mt19937_64 random{std::random_device{}()};
  return JoinPath(FolderOf(target), TemporaryPrefix(target) + std::to_string(processId) + "-" +
                                        std::to_string(counter++) + "-" + std::to_string(random() % 1000000007));
}

std::optional<std::uint64_t> TemporaryWriter(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix)) return std::nullopt;
  std::uint64_t processId = 0;
  const std::string_view rest = name.substr(prefix.size());
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), processId);
  if (ec != std::errc() || end == rest.data() || end == rest.data() + rest.size() || *end != '-' || processId == 0) {
    return std::nullopt;
  }
  return processId;
}

std::string LockFileName(const std::string& target) {
  return JoinPath(FolderOf(target), "." + BaseNameOf(target) + ".lock");
}

}  // namespace quorrel
