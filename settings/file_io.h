#pragma once

#include <sys/stat.h>

#include <chrono>
#include <optional>
#include <string>

namespace quorrel {

// Reads an open file from its current position to its end. Nothing on a
// read error.
[[nodiscard]] std::optional<std::string> ReadToEnd(int fd);

// The file that `path` finally names once every symbolic link on its last
// component is followed (a dangling link names its missing target), so that
// a write replaces the target and keeps the link. Nothing for a loop.
[[nodiscard]] std::optional<std::string> FollowLinks(std::string path);

// The folder part of a path ("." for a bare name).
[[nodiscard]] std::string FolderOf(const std::string& path);

// Replaces `target` with `contents` atomically: a uniquely named temporary
// file in the same folder is written in full and then renamed over the
// target, so that a reader or a crash sees the old file or the new one,
// never a mix. `existing` is the target's status when it exists: its mode
// (and, where the process may, its owner) carries over. False when any step
// fails; the target is then untouched and the temporary file is gone.
[[nodiscard]] bool ReplaceFile(const std::string& target, const std::string& contents,
                               const std::optional<struct stat>& existing);

// An advisory lock that serialises the writers of one file across
// processes: an exclusive flock on "<folder>/.<name>.lock" beside it, held
// by whoever has read the file and means to replace it, until the replace
// is done. The lock goes with its holder, also when the holder is killed,
// so it never outlives a writer; the lock file itself stays.
class WriteLock {
 public:
  // Waits at most `bound` for the lock; nothing when it could not be had
  // in that time or the lock file cannot be opened.
  [[nodiscard]] static std::optional<WriteLock> Acquire(const std::string& target, std::chrono::milliseconds bound);
  WriteLock(WriteLock&& other) noexcept;
  WriteLock& operator=(WriteLock&&) = delete;
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  ~WriteLock();

 private:
  explicit WriteLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// Removes the temporary files that writers of `target` left behind when
// they were killed between writing and renaming: only those whose process
// no longer runs, so that a write in progress elsewhere is never disturbed.
void RemoveStaleTemporaryFiles(const std::string& target);

}  // namespace quorrel
