#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The names of the files that the writers of one settings file keep beside
// it. Both platforms' file systems (behind file_system.h) use them, so that the
// files are named alike everywhere.

namespace quorrel {

// ".<name>.tmp-": every temporary file of one target starts so, followed
// by "<process id>-<counter>-<random number>".
[[nodiscard]] std::string TemporaryPrefix(const std::string& target);

// A fresh temporary file name in the target's folder, for the process
// `processId`.
[[nodiscard]] std::string TemporaryName(const std::string& target, std::uint64_t processId);

// The process that wrote the temporary file `name` (a name in the target's
// folder starting with `prefix`); nothing when the name is not one of the
// writers' temporary files.
[[nodiscard]] std::optional<std::uint64_t> TemporaryWriter(std::string_view name, std::string_view prefix);

// "<folder>/.<name>.lock": the file that the write lock of `target` holds.
[[nodiscard]] std::string LockFileName(const std::string& target);

}  // namespace quorrel
