#include "settings/read_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <vector>

#include "settings/file_io.h"

namespace quorrel {

namespace {

using Nanoseconds = std::chrono::nanoseconds;

Nanoseconds toNanoseconds(const timespec& t) { return std::chrono::seconds(t.tv_sec) + Nanoseconds(t.tv_nsec); }

// How long after its last change a file's times are trusted to reveal the
// next change. File systems stamp times from a clock that may lag the real
// one by a scheduler tick (at most 10 ms); file systems that keep whole
// seconds (two for FAT) need whole seconds.
Nanoseconds settleTime(const struct stat& st) {
  const bool wholeSeconds = st.st_mtim.tv_nsec == 0 && st.st_ctim.tv_nsec == 0;
  return wholeSeconds ? Nanoseconds(std::chrono::seconds(3)) : Nanoseconds(std::chrono::milliseconds(50));
}

struct Entry {
  std::string path;
  int fd = -1;  // the file that was read, held open so its inode stays taken
  struct stat status {};
  bool settled = false;
  std::string text;
  std::shared_ptr<const Profile> profile;
};

bool unchanged(const struct stat& now, const struct stat& then) {
  return now.st_dev == then.st_dev && now.st_ino == then.st_ino && now.st_size == then.st_size &&
         now.st_mtim.tv_sec == then.st_mtim.tv_sec && now.st_mtim.tv_nsec == then.st_mtim.tv_nsec &&
         now.st_ctim.tv_sec == then.st_ctim.tv_sec && now.st_ctim.tv_nsec == then.st_ctim.tv_nsec;
}

class Cache {
 public:
  Cache() = default;
  Cache(const Cache&) = delete;
  Cache& operator=(const Cache&) = delete;
  ~Cache() {
    for (Entry& e : entries_) ::close(e.fd);
  }

  std::shared_ptr<const Profile> current(const std::string& path) {
    std::lock_guard lock(mutex_);
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) {
      forgetLocked(path);
      return nullptr;
    }
    for (const Entry& e : entries_) {
      if (e.path == path && e.settled && unchanged(now, e.status)) return e.profile;
    }
    return load(path);
  }

  void forget(const std::string& path) {
    std::lock_guard lock(mutex_);
    forgetLocked(path);
  }

 private:
  std::shared_ptr<const Profile> load(const std::string& path) {
    timespec readStart{};
    ::clock_gettime(CLOCK_REALTIME, &readStart);
    // Not blocking: a FIFO put in the file's place must not hang the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
      forgetLocked(path);
      return nullptr;
    }
    std::optional<std::string> text = ReadToEnd(fd);
    // The status taken after reading: a change made while the text was read
    // carries a time after `readStart` minus one tick, and so keeps the
    // entry unsettled.
    struct stat status {};
    if (!text || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
      ::close(fd);
      forgetLocked(path);
      return nullptr;
    }
    Entry entry;
    entry.path = path;
    entry.fd = fd;
    entry.status = status;
    const Nanoseconds limit = toNanoseconds(readStart) - settleTime(status);
    entry.settled = toNanoseconds(status.st_mtim) < limit && toNanoseconds(status.st_ctim) < limit;
    // A file read again while it settles usually holds what it held: the
    // parse is then kept, and only the bytes were compared.
    for (const Entry& e : entries_) {
      if (e.path == path && e.text == *text) entry.profile = e.profile;
    }
    if (!entry.profile) entry.profile = std::make_shared<const Profile>(*text);
    entry.text = std::move(*text);
    forgetLocked(path);
    // A handful of files at most are read by one process; the bound only
    // keeps a test run that reads many files from holding many open.
    if (entries_.size() >= 8) {
      ::close(entries_.front().fd);
      entries_.erase(entries_.begin());
    }
    entries_.push_back(std::move(entry));
    return entries_.back().profile;
  }

  void forgetLocked(const std::string& path) {
    std::erase_if(entries_, [&](const Entry& e) {
      if (e.path != path) return false;
      ::close(e.fd);
      return true;
    });
  }

  std::mutex mutex_;
  std::vector<Entry> entries_;
};

Cache& cache() {
  static Cache instance;
  return instance;
}

}  // namespace

std::shared_ptr<const Profile> CurrentProfile(const std::string& path) { return cache().current(path); }

void ForgetProfile(const std::string& path) { cache().forget(path); }

}  // namespace quorrel
