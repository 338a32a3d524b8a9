#include "system/temporary_files.h"

#include <atomic>
#include <charconv>
#include <random>

#include "system/paths.h"

namespace quorrel {

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
