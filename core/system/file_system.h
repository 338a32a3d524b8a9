#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "system/paths.h"

// The core's access to files and folders: the one header in front of each
// platform's file system (linux/system/file_system_posix.cpp,
// windows/system/file_system_win32.cpp). Paths are UTF-8 byte strings
// everywhere in the core; the POSIX side passes the bytes on as they are,
// the Win32 side converts them to UTF-16 at each call.

namespace quorrel {

// What the settings store needs to know about a file: its kind, its
// identity, its size and times, and what a replacing file carries over.
struct FileStatus {
  bool regular = false;
  bool directory = false;
  // The file's identity on its volume: device and inode, or the volume's
  // serial number and the file index.
  std::uint64_t volume = 0;
  std::uint64_t identity = 0;
  std::int64_t size = 0;
  // Times of the last change of the contents and of the file's metadata,
  // since the epoch.
  std::chrono::nanoseconds modified{0};
  std::chrono::nanoseconds changed{0};
  // No write permission bit at all, or the read-only attribute.
  bool readOnly = false;
  // The permission bits and owner (POSIX only; zero elsewhere).
  std::uint32_t mode = 0;
  std::uint32_t owner = 0;
  std::uint32_t group = 0;

  // The file system keeps whole seconds only (or the file happened to be
  // stamped on a whole second, which cannot be told apart).
  [[nodiscard]] bool wholeSecondTimes() const {
    return modified % std::chrono::seconds(1) == std::chrono::nanoseconds(0) &&
           changed % std::chrono::seconds(1) == std::chrono::nanoseconds(0);
  }
};

// A handle of the platform's file system (a descriptor on POSIX systems, a
// HANDLE on Windows), closed by the destructor. The one owner of every
// such handle the file systems keep beyond a call.
class FileHandle {
 public:
  static constexpr std::intptr_t kNone = -1;  // also INVALID_HANDLE_VALUE

  FileHandle() = default;
  explicit FileHandle(std::intptr_t value) : value_(value) {}
  ~FileHandle() { reset(); }
  FileHandle(FileHandle&& other) noexcept : value_(other.release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = other.release();
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  [[nodiscard]] std::intptr_t get() const { return value_; }
  [[nodiscard]] bool valid() const { return value_ != kNone; }
  std::intptr_t release() {
    const std::intptr_t value = value_;
    value_ = kNone;
    return value;
  }
  // Closes the handle; false when the system reports an error on closing.
  bool reset();

 private:
  std::intptr_t value_ = kNone;
};

// A file open for reading, closed by the destructor. It never blocks on
// opening (a FIFO put at the path does not hang the reader) and, on
// Windows, shares deletion, so that an atomic replace of the path succeeds
// while the file stays open here.
class ReadOnlyFile {
 public:
  // Nothing when the path cannot be opened; `missing` then tells whether
  // that is because nothing is there.
  [[nodiscard]] static std::optional<ReadOnlyFile> Open(const std::string& path, bool* missing = nullptr);

  // From the current position to the end; nothing on a read error.
  [[nodiscard]] std::optional<std::string> readToEnd();
  [[nodiscard]] std::optional<FileStatus> status() const;

 private:
  explicit ReadOnlyFile(FileHandle handle) : handle_(std::move(handle)) {}
  FileHandle handle_;
};

// Whether a reader that remembers a file by its identity keeps the file
// open. On POSIX systems it does: an open file's inode number cannot be
// given to a later file at the same path, and holding it hinders nobody.
// On Windows it does not: NTFS's file identifiers carry a sequence number
// and are not handed out again, while a file held open, once deleted, keeps
// its name taken (under Wine, and on file systems without POSIX deletion)
// so that it still reads as there and no new file can be made in its place.
inline constexpr bool kReadersHoldFilesOpen =
#ifdef _WIN32
    false;
#else
    true;
#endif

// The status of what `path` names, links followed; nothing when there is
// nothing there.
[[nodiscard]] std::optional<FileStatus> StatusOf(const std::string& path);

// Whether this process may write the file at `path` (it exists).
[[nodiscard]] bool MayWrite(const std::string& path);

// The wall clock, in the same terms as the file times.
[[nodiscard]] std::chrono::nanoseconds WallClockNow();

// The file that `path` finally names once every symbolic link on its last
// component is followed (a dangling link names its missing target), so that
// a write replaces the target and keeps the link. Nothing for a loop. On
// Windows, paths are taken as they are.
[[nodiscard]] std::optional<std::string> FollowLinks(std::string path);

// Replaces `target` with `contents` atomically: a uniquely named temporary
// file in the same folder is written in full and then renamed over the
// target, so that a reader or a crash sees the old file or the new one,
// never a mix. `existing` is the target's status when it exists: its mode
// (and, where the process may, its owner) carries over. False when any step
// fails; the target is then untouched and the temporary file is gone.
[[nodiscard]] bool ReplaceFile(const std::string& target, const std::string& contents,
                               const std::optional<FileStatus>& existing);

// Why a write lock could not be had.
enum class LockProblem {
  // The lock file is there but cannot be opened.
  Unopenable,
  // Another writer held the lock for the whole wait.
  HeldTooLong,
  // The folder lies on a read-only file system or medium.
  ReadOnlyFolder,
  // The lock file is not there, and the folder refuses to have it made.
  FolderRefusesFiles,
};

struct LockFailure {
  LockProblem problem = LockProblem::Unopenable;
  // The system's own words for the error it gave, where it gave one.
  std::string systemError;
};

// An advisory lock that serialises the writers of one file across
// processes: an exclusive lock on "<folder>/.<name>.lock" beside it (flock
// on POSIX systems, LockFileEx on Windows), held by whoever has read the
// file and means to replace it, until the replace is done. The lock goes
// with its holder, also when the holder is killed, so it never outlives a
// writer; the lock file itself stays. It never stands between users and
// their own file: on POSIX systems the lock file belongs to the file's
// owner, also when root makes it, and one that an older run as another
// user left unopenable is replaced.
class WriteLock {
 public:
  // Waits at most `bound` for the lock; nothing when it could not be had
  // in that time or the lock file cannot be opened, `failure` then telling
  // why.
  [[nodiscard]] static std::optional<WriteLock> Acquire(const std::string& target, std::chrono::milliseconds bound,
                                                        LockFailure* failure = nullptr);
  WriteLock(WriteLock&& other) noexcept = default;
  WriteLock& operator=(WriteLock&&) = delete;
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  ~WriteLock();

 private:
  explicit WriteLock(FileHandle handle) : handle_(std::move(handle)) {}
  FileHandle handle_;
};

// Removes the temporary files that writers of `target` left behind when
// they were killed between writing and renaming: only those whose process
// no longer runs, so that a write in progress elsewhere is never disturbed.
void RemoveStaleTemporaryFiles(const std::string& target);

// Creates `path` and its missing parents, private to the user where the
// system has such a notion. True when the folder exists afterwards.
[[nodiscard]] bool CreateFolders(const std::string& path);

// The user's folder for application settings: $XDG_CONFIG_HOME or
// ~/.config on POSIX systems, the roaming application-data folder on
// Windows. Empty when the system cannot tell.
[[nodiscard]] std::string UserSettingsHome();

// Text in the system's legacy 8-bit code page (Windows' ANSI code page),
// which settings files of older programs are written in, converted to
// UTF-8 and back. Nothing where the system has no such code page (POSIX
// systems take file text as bytes), and, converting back, when a character
// has no form in the code page.
[[nodiscard]] std::optional<std::string> FromAnsiCodePage(std::string_view text);
[[nodiscard]] std::optional<std::string> ToAnsiCodePage(std::string_view utf8);

// One entry of a folder listing.
struct FolderEntry {
  std::string name;
  bool regularFile = false;  // links followed
};

// The entries of a folder (not "." and ".."), in no particular order;
// nothing when it cannot be read, which an empty folder is not.
[[nodiscard]] std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);

// Whether a file can be opened for reading, as a player will open it.
enum class ReadAccess {
  Readable,
  // Nothing is at the path (a dangling link included).
  Missing,
  // Something is there that this process may not read, or a folder.
  Unreadable,
};
[[nodiscard]] ReadAccess ReadAccessOf(const std::string& path);

}  // namespace quorrel
