#include "settings/read_cache.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "base/log.h"
#include "settings/settings_text.h"
#include "system/file_system.h"

namespace quorrel {

namespace {

using Nanoseconds = std::chrono::nanoseconds;

// How long after its last change a file's times are trusted to reveal the
// next change. File systems stamp times from a clock that may lag the real
// one by a scheduler tick (at most 10 ms); file systems that keep whole
// seconds (two for FAT) need whole seconds.
Nanoseconds settleTime(const FileStatus& st) {
  return st.wholeSecondTimes() ? Nanoseconds(std::chrono::seconds(3)) : Nanoseconds(std::chrono::milliseconds(50));
}

struct Entry {
  std::string path;
  // The file that was read, held open so its identity stays taken.
  std::optional<ReadOnlyFile> file;
  FileStatus status;
  bool settled = false;
  std::string text;
  std::shared_ptr<const Profile> profile;
};

bool unchanged(const FileStatus& now, const FileStatus& then) {
  return now.volume == then.volume && now.identity == then.identity && now.size == then.size &&
         now.modified == then.modified && now.changed == then.changed;
}

class Cache {
 public:
  std::shared_ptr<const Profile> current(const std::string& path) {
    std::lock_guard lock(mutex_);
    const std::optional<FileStatus> now = StatusOf(path);
    if (!now || !now->regular) {
      forgetLocked(path);
      return nullptr;
    }
    for (const Entry& e : entries_) {
      if (e.path == path && e.settled && unchanged(*now, e.status)) return e.profile;
    }
    return load(path);
  }

  void forget(const std::string& path) {
    std::lock_guard lock(mutex_);
    forgetLocked(path);
  }

 private:
  std::shared_ptr<const Profile> load(const std::string& path) {
    const Nanoseconds readStart = WallClockNow();
    std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(path);
    if (!file) {
      forgetLocked(path);
      return nullptr;
    }
    std::optional<std::string> text = file->readToEnd();
    // The status taken after reading: a change made while the text was read
    // carries a time after `readStart` minus one tick, and so keeps the
    // entry unsettled.
    const std::optional<FileStatus> status = text ? file->status() : std::nullopt;
    if (!status || !status->regular) {
      forgetLocked(path);
      return nullptr;
    }
    Entry entry;
    entry.path = path;
    if (kReadersHoldFilesOpen) entry.file = std::move(file);
    entry.status = *status;
    const Nanoseconds limit = readStart - settleTime(*status);
    entry.settled = status->modified < limit && status->changed < limit;
    // A file read again while it settles usually holds what it held: the
    // parse is then kept, and only the bytes were compared.
    for (const Entry& e : entries_) {
      if (e.path == path && e.text == *text) entry.profile = e.profile;
    }
    if (!entry.profile) {
      const StoredText stored = DecodeSettingsText(*text);
      // The show then finds no videos and says so on its screen; this line
      // tells why.
      if (stored.encoding == TextEncoding::Unreadable) {
        LogError("the settings file " + path +
                 " is in a text encoding that Quorrel cannot read; its settings are not used");
      }
      entry.profile = std::make_shared<const Profile>(stored.text);
    }
    entry.text = std::move(*text);
    forgetLocked(path);
    // A handful of files at most are read by one process; the bound only
    // keeps a test run that reads many files from holding many open.
    if (entries_.size() >= 8) entries_.erase(entries_.begin());
    entries_.push_back(std::move(entry));
    return entries_.back().profile;
  }

  void forgetLocked(const std::string& path) {
    std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
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
