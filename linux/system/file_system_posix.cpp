#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>

#include "system/file_system.h"
#include "system/temporary_files.h"

namespace quorrel {

namespace {

// Whether the temporary file's data is flushed to disk before the rename.
// The rename alone already keeps every reader and every killed writer from
// seeing half a file. The flush would only guard against a power failure
// on a file system that does not write a file's data before a rename that
// replaces another file (ext4 and btrfs do, by default). Measured on the
// full list: a slot write takes about 1 ms, and flushing adds 0.3 to 0.5 ms
// on a virtual disk and far more on a real one; the options dialog writes
// each slot of a cleared list separately, up to 1000 writes, so the flush is
// left out.
constexpr bool kSyncBeforeRename = false;

std::chrono::nanoseconds toNanoseconds(const timespec& t) {
  return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

FileStatus statusFrom(const struct stat& st) {
  FileStatus status;
  status.regular = S_ISREG(st.st_mode);
  status.directory = S_ISDIR(st.st_mode);
  status.volume = static_cast<std::uint64_t>(st.st_dev);
  status.identity = static_cast<std::uint64_t>(st.st_ino);
  status.size = static_cast<std::int64_t>(st.st_size);
  status.modified = toNanoseconds(st.st_mtim);
  status.changed = toNanoseconds(st.st_ctim);
  status.readOnly = (st.st_mode & 0222) == 0;
  status.mode = st.st_mode & 07777;
  status.owner = st.st_uid;
  status.group = st.st_gid;
  return status;
}

bool writeAll(int fd, const std::string& contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder being read, closed by the destructor.
struct CloseFolder {
  void operator()(DIR* folder) const { ::closedir(folder); }
};
using FolderReader = std::unique_ptr<DIR, CloseFolder>;

FolderReader openFolder(const std::string& folder) { return FolderReader(::opendir(folder.c_str())); }

// Root writing a user's settings (`sudo -E quorrel /C`) makes files and
// folders there; they go to the owner of the folder they are made in, so
// that the user can go on using them. Others cannot give files away and
// need not: what they make is already theirs.
void giveToFolderOwner(int fd, const std::string& folder) {
  struct stat owner {};
  if (::geteuid() != 0 || ::stat(folder.c_str(), &owner) != 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || (st.st_uid == owner.st_uid && st.st_gid == owner.st_gid)) return;
  [[maybe_unused]] const int ignored = ::fchown(fd, owner.st_uid, owner.st_gid);
}

int descriptorOf(const FileHandle& handle) { return static_cast<int>(handle.get()); }

// Waits for an exclusive flock on `handle` until `deadline`. False with
// errno EWOULDBLOCK when another holder kept it that long.
bool lockUntil(const FileHandle& handle, std::chrono::steady_clock::time_point deadline) {
  while (::flock(descriptorOf(handle), LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// Opens the lock file `path`, making it when it is missing; an invalid
// handle when it cannot be had. A lock file can be locked through a handle
// that only reads, which is all a lock file that another user made allows.
// One that cannot even be read (root made it, mode 0600, before lock files
// went to the folder's owner) would refuse every later write of the
// user's: it is replaced by a fresh one of the user's own. Writers that
// find it so at the same time replace it one after the other, under a lock
// on the folder, and each looks again first, so that the second takes the
// file that the first made rather than replacing it once more.
FileHandle openLockFile(const std::string& path, std::chrono::steady_clock::time_point deadline) {
  const std::string folder = FolderOf(path);
  const auto open = [&path, &folder] {
    FileHandle lock(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.valid() && errno == EACCES) {
      lock = FileHandle(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
      // A lock file that is not there to open: the first error says why.
      if (!lock.valid() && errno == ENOENT) errno = EACCES;
    }
    if (lock.valid()) giveToFolderOwner(descriptorOf(lock), folder);
    return lock;
  };
  FileHandle lock = open();
  if (lock.valid() || errno != EACCES) return lock;

  const FileHandle folderLock(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folderLock.valid() || !lockUntil(folderLock, deadline)) return FileHandle();
  lock = open();
  if (lock.valid() || errno != EACCES) return lock;
  const std::string fresh = TemporaryName(path, static_cast<std::uint64_t>(::getpid()));
  lock = FileHandle(::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (lock.valid() && ::rename(fresh.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(fresh.c_str());
    errno = error;
    return FileHandle();
  }
  return lock;
}

std::string systemErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

// Why the lock file at `path` could not be opened or made, from the error
// the system gave: the folder's fault when the file is not there to open.
LockFailure unopenableLock(const std::string& path, int error) {
  if (error == EROFS) return {LockProblem::ReadOnlyFolder, systemErrorText(error)};
  struct stat st {};
  const bool there = ::lstat(path.c_str(), &st) == 0;
  return {there ? LockProblem::Unopenable : LockProblem::FolderRefusesFiles, systemErrorText(error)};
}

}  // namespace

std::optional<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path, bool* missing) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (missing != nullptr) *missing = fd < 0 && errno == ENOENT;
  if (fd < 0) return std::nullopt;
  return ReadOnlyFile(FileHandle(fd));
}

bool FileHandle::reset() {
  if (!valid()) return true;
  return ::close(static_cast<int>(release())) == 0;
}

std::optional<std::string> ReadOnlyFile::readToEnd() {
  const int fd = static_cast<int>(handle_.get());
  std::string contents;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) contents.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) return contents;
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    contents.append(buffer, static_cast<std::size_t>(n));
  }
}

std::optional<FileStatus> ReadOnlyFile::status() const {
  struct stat st {};
  if (::fstat(static_cast<int>(handle_.get()), &st) != 0) return std::nullopt;
  return statusFrom(st);
}

std::optional<FileStatus> StatusOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return statusFrom(st);
}

bool MayWrite(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

std::chrono::nanoseconds WallClockNow() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return toNanoseconds(now);
}

std::optional<WriteLock> WriteLock::Acquire(const std::string& target, std::chrono::milliseconds bound,
                                            LockFailure* failure) {
  const std::string path = LockFileName(target);
  const auto deadline = std::chrono::steady_clock::now() + bound;
  const auto fail = [failure](LockFailure why) {
    if (failure != nullptr) *failure = std::move(why);
    return std::nullopt;
  };
  while (true) {
    FileHandle lock = openLockFile(path, deadline);
    if (!lock.valid()) return fail(unopenableLock(path, errno));
    if (!lockUntil(lock, deadline)) {
      if (errno == EWOULDBLOCK || errno == EINTR) return fail({LockProblem::HeldTooLong, {}});
      return fail({LockProblem::Unopenable, systemErrorText(errno)});
    }
    // A lock file replaced while this writer waited (see openLockFile) is
    // no longer the one that the other writers lock: the lock counts only
    // when the path still names the file that was locked.
    struct stat held {};
    struct stat named {};
    if (::fstat(descriptorOf(lock), &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      return WriteLock(std::move(lock));
    }
    if (std::chrono::steady_clock::now() >= deadline) return fail({LockProblem::HeldTooLong, {}});
  }
}

// Closing the descriptor releases the lock.
WriteLock::~WriteLock() = default;

void RemoveStaleTemporaryFiles(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string prefix = TemporaryPrefix(target);
  const FolderReader entries = openFolder(folder);
  if (!entries) return;
  while (const dirent* entry = ::readdir(entries.get())) {
    const std::optional<std::uint64_t> writer = TemporaryWriter(entry->d_name, prefix);
    if (!writer || *writer > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max())) continue;
    if (::kill(static_cast<pid_t>(*writer), 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(entries.get()), entry->d_name, 0);
  }
}

std::optional<std::string> FollowLinks(std::string path) {
  // The same bound as the kernel's for nested links.
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    if (target.front() != '/') target = FolderOf(path) + "/" + target;
    path = std::move(target);
  }
  return std::nullopt;
}

bool ReplaceFile(const std::string& target, const std::string& contents, const std::optional<FileStatus>& existing) {
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = TemporaryName(target, static_cast<std::uint64_t>(::getpid()));
    // A new settings file gets the usual mode under the process's umask.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = writeAll(fd, contents);
  if (ok && !existing) giveToFolderOwner(fd, FolderOf(target));
  if (ok && existing) {
    ok = ::fchmod(fd, existing->mode) == 0;
    // A settings file that root rewrites for a user stays the user's. This
    // is best effort: an ordinary user cannot give a file away and needs
    // not, since the file is then already theirs.
    if (ok && (existing->owner != ::geteuid() || existing->group != ::getegid())) {
      [[maybe_unused]] const int ignored = ::fchown(fd, existing->owner, existing->group);
    }
  }
  if (ok && kSyncBeforeRename) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

// New folders are private to the user (0700), as the XDG rules ask for
// configuration folders: the video list names the user's files.
bool CreateFolders(const std::string& path) {
  if (path.empty() || isDirectory(path)) return !path.empty();
  const auto slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !CreateFolders(path.substr(0, slash))) return false;
  if (::mkdir(path.c_str(), 0700) != 0) return errno == EEXIST && isDirectory(path);
  if (const FileHandle made(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)); made.valid()) {
    giveToFolderOwner(descriptorOf(made), FolderOf(path));
  }
  return true;
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config, as the XDG
// base directory rules say.
std::string UserSettingsHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
    return std::string(user->pw_dir) + "/.config";
  }
  return "/.config";
}

std::optional<std::string> FromAnsiCodePage(std::string_view /*text*/) { return std::nullopt; }

std::optional<std::string> ToAnsiCodePage(std::string_view /*utf8*/) { return std::nullopt; }

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> result;
  const FolderReader entries = openFolder(folder);
  if (!entries) return std::nullopt;
  errno = 0;
  while (const dirent* entry = ::readdir(entries.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    const bool regular = ::fstatat(::dirfd(entries.get()), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    result.push_back({std::string(name), regular});
    errno = 0;
  }
  // readdir ends with errno set when the listing broke off.
  if (errno != 0) return std::nullopt;
  return result;
}

ReadAccess ReadAccessOf(const std::string& path) {
  const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.valid()) return errno == ENOENT || errno == ENOTDIR ? ReadAccess::Missing : ReadAccess::Unreadable;
  struct stat st {};
  if (::fstat(descriptorOf(file), &st) != 0 || S_ISDIR(st.st_mode)) return ReadAccess::Unreadable;
  return ReadAccess::Readable;
}

}  // namespace quorrel
