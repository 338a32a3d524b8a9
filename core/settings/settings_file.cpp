#include "settings/settings_file.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/log.h"
#include "settings/profile.h"
#include "settings/read_cache.h"
#include "settings/settings_schema.h"
#include "settings/settings_text.h"
#include "system/file_system.h"
#include "system/temporary_files.h"

namespace quorrel {

namespace {

std::string withoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

// How long a write waits for another process's write to the same file. A
// write takes about a millisecond, so this is only reached when the other
// writer hangs.
constexpr std::chrono::milliseconds kLockWait(2000);

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal with an optional '-', or hexadecimal after "0x"/"0X"; the whole
// text must be the number and it must fit in 32 bits.
std::optional<std::int32_t> parseNumber(std::string_view text) {
  std::int64_t value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  std::from_chars_result result{};
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (!isHexDigit(text[2])) return std::nullopt;
    result = std::from_chars(first + 2, last, value, 16);
  } else {
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() <= digits || !isDigit(text[digits])) return std::nullopt;
    result = std::from_chars(first, last, value, 10);
  }
  if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// What stands in the way of a write when its lock cannot be had: the lock
// file, the program holding it, or the folder, with the system's words.
std::string lockRefusal(const LockFailure& failure, const std::string& lockFile, const std::string& folder) {
  const std::string systemWords = failure.systemError.empty() ? std::string() : " (" + failure.systemError + ")";
  switch (failure.problem) {
    case LockProblem::HeldTooLong:
      return "another program holds its lock file " + lockFile;
    case LockProblem::ReadOnlyFolder:
      return "the folder " + folder + " is read-only";
    case LockProblem::FolderRefusesFiles:
      return "no file can be made in the folder " + folder + systemWords;
    case LockProblem::Unopenable:
      break;
  }
  return "its lock file " + lockFile + " cannot be opened" + systemWords;
}

}  // namespace

SettingsWriteError::SettingsWriteError(const std::string& path, const std::string& reason)
    : std::runtime_error("Unable to write to " + path + (reason.empty() ? std::string() : ": " + reason)) {}

SettingsValueError::SettingsValueError(const std::string& path)
    : std::runtime_error("A text with a line break or a NUL character cannot be stored in " + path) {}

SettingsValueError::SettingsValueError(const std::string& path, std::string_view name)
    : std::runtime_error("The name \"" + std::string(name) + "\" cannot be stored in " + path) {}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string ReadText(const Profile* profile, std::string_view section, std::string_view key,
                     std::string_view defaultText) {
  std::optional<std::string_view> value;
  if (profile != nullptr) value = profile->find(section, key);
  std::string text = value ? std::string(*value) : withoutTrailingBlanks(defaultText);
  if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
  return text;
}

std::string SettingsFile::readText(std::string_view section, std::string_view key, std::string_view defaultText) const {
  return ReadText(CurrentProfile(path_).get(), section, key, defaultText);
}

std::int32_t SettingsFile::readNumber(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
  const std::shared_ptr<const Profile> profile = CurrentProfile(path_);
  if (!profile) return defaultValue;
  const std::optional<std::string_view> value = profile->find(section, key);
  if (!value) return defaultValue;
  return parseNumber(*value).value_or(defaultValue);
}

bool SettingsFile::readFlag(std::string_view section, std::string_view key, bool defaultValue) const {
  return readNumber(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::writeText(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorableValue(value)) throw SettingsValueError(path_);
  if (!IsStorableSectionName(section)) throw SettingsValueError(path_, section);
  if (!IsStorableKeyName(key)) throw SettingsValueError(path_, key);
  applyChanges([&](Profile& profile) { profile.set(section, key, value); });
}

void SettingsFile::writeNumber(std::string_view section, std::string_view key, std::int32_t value) {
  writeText(section, key, std::to_string(value));
}

void SettingsFile::writeFlag(std::string_view section, std::string_view key, bool value) {
  writeText(section, key, value ? "1" : "0");
}

void SettingsFile::deleteKey(std::string_view section, std::string_view key) noexcept {
  try {
    applyChanges([&](Profile& profile) { profile.remove(section, key); });
  } catch (const std::exception& error) {
    // A failed delete is not reported to the user: the key simply stays.
    LogError(std::string(error.what()) + " (deleting " + std::string(key) + ")");
  } catch (...) {
    LogError("Unable to write to " + path_ + " (deleting " + std::string(key) + ")");
  }
}

bool SettingsFile::inUnreadableEncoding() const {
  std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(path_);
  if (!file) return false;
  std::optional<std::string> text = file->readToEnd();
  return text && DecodeSettingsText(std::move(*text)).encoding == TextEncoding::Unreadable;
}

void SettingsFile::applyChanges(const std::function<void(Profile&)>& change) {
  const std::optional<std::string> target = FollowLinks(path_);
  if (!target) throw SettingsWriteError(path_);

  // A folder without any write permission refuses the write even for root,
  // whom the system would let through, so that a read-only folder means the
  // same for every user.
  const std::string folderPath = FolderOf(*target);
  const std::optional<FileStatus> folder = StatusOf(folderPath);
  if (!folder || !folder->directory) throw SettingsWriteError(path_, "the folder " + folderPath + " does not exist");
  if (folder->readOnly) throw SettingsWriteError(path_, "the folder " + folderPath + " is read-only");

  // Another process (a second options dialog) may be writing the same file:
  // the file is read, changed and replaced under one lock, so that neither
  // writer loses the other's change. A writer that never lets go cannot
  // hold this one up for long; the write is then refused.
  LockFailure failure;
  const std::optional<WriteLock> lock = WriteLock::Acquire(*target, kLockWait, &failure);
  // The refusal names what stands in the way, not the file that would have
  // been written.
  if (!lock) throw SettingsWriteError(path_, lockRefusal(failure, LockFileName(*target), folderPath));

  std::string oldText;
  std::optional<FileStatus> existing;
  bool missing = false;
  std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(*target, &missing);
  if (!file) {
    if (!missing) throw SettingsWriteError(path_);
  } else {
    const std::optional<FileStatus> st = file->status();
    std::optional<std::string> text;
    if (st && st->regular) text = file->readToEnd();
    file.reset();
    // The same for the file: without a write bit it is read-only, also for
    // root. An unreadable file cannot be rewritten without losing it.
    if (!text || st->readOnly || !MayWrite(*target)) throw SettingsWriteError(path_);
    oldText = std::move(*text);
    existing = st;
  }

  // The parser works on UTF-8; the file keeps the encoding it has.
  const StoredText stored = DecodeSettingsText(std::move(oldText));
  if (stored.encoding == TextEncoding::Unreadable)
    throw SettingsWriteError(path_, "Quorrel cannot read its text encoding");
  Profile profile(stored.text);
  try {
    change(profile);
  } catch (const std::invalid_argument&) {
    throw SettingsValueError(path_);
  }
  const std::string newText = profile.text();
  // Nothing to change (a missing key deleted, a value written again): the
  // file stays as it is, and a missing one is not created.
  if (newText == stored.text) return;

  ForgetProfile(path_);
  if (!ReplaceFile(*target, EncodeSettingsText(newText, stored.encoding), existing)) {
    throw SettingsWriteError(path_);
  }
}

}  // namespace quorrel
