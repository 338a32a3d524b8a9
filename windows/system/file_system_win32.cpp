#include <windows.h>
// After windows.h, which these need.
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <thread>
#include <type_traits>
#include <utility>

#include "system/file_system.h"
#include "system/temporary_files.h"
#include "windows/system/utf16.h"

// windows.h names ReplaceFileW so; the core's own ReplaceFile is meant here.
#undef ReplaceFile

namespace quorrel {

using windows_desktop::Narrow;
using windows_desktop::Widen;

namespace {

// Every handle the core keeps open shares reading, writing and deletion,
// so that another process's atomic replace of the same path never fails
// against it; the replace makes a new file, and the open handle keeps the
// old one.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// FILETIME counts 100 ns from 1601; the file times here count from 1970.
constexpr std::int64_t kEpochDifference = 116444736000000000LL;

std::chrono::nanoseconds fromFileTime(std::int64_t ticks) {
  return std::chrono::nanoseconds((ticks - kEpochDifference) * 100);
}

std::int64_t ticksOf(const FILETIME& t) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

std::optional<FileStatus> statusOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
  FileStatus status;
  status.directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.regular = !status.directory && ::GetFileType(handle) == FILE_TYPE_DISK;
  status.volume = info.dwVolumeSerialNumber;
  status.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  status.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  status.modified = fromFileTime(ticksOf(info.ftLastWriteTime));
  // The change time of the file's metadata, where the file system keeps
  // one; the last write time otherwise.
  FILE_BASIC_INFO basic{};
  if (::GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) && basic.ChangeTime.QuadPart != 0) {
    status.changed = fromFileTime(basic.ChangeTime.QuadPart);
  } else {
    status.changed = status.modified;
  }
  // Windows ignores the read-only attribute on folders (Explorer uses it to
  // mark customised ones), so only a file's counts.
  status.readOnly = !status.directory && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  return status;
}

HANDLE handleOf(const FileHandle& handle) { return reinterpret_cast<HANDLE>(handle.get()); }

FileHandle owned(HANDLE handle) { return FileHandle(reinterpret_cast<std::intptr_t>(handle)); }

// A folder search, ended by the destructor.
struct EndSearch {
  void operator()(HANDLE search) const { ::FindClose(search); }
};
using FolderSearch = std::unique_ptr<std::remove_pointer_t<HANDLE>, EndSearch>;

// The search for `pattern`'s entries, or null when none matches; the first
// entry is in `found`.
FolderSearch findFirst(const std::string& pattern, WIN32_FIND_DATAW& found) {
  HANDLE search = ::FindFirstFileW(Widen(pattern).c_str(), &found);
  return FolderSearch(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

bool writeAll(HANDLE handle, const std::string& contents) {
  std::size_t done = 0;
  while (done < contents.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

bool processRuns(DWORD pid) {
  HANDLE opened = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  // Another user's process cannot be opened, but it runs.
  if (opened == nullptr) return ::GetLastError() != ERROR_INVALID_PARAMETER;
  const FileHandle process = owned(opened);
  DWORD exitCode = 0;
  return ::GetExitCodeProcess(handleOf(process), &exitCode) && exitCode == STILL_ACTIVE;
}

// The system's own words for an error, without the full stop and line
// break that it ends them with.
std::string systemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  ::LocalFree(text);
  while (!words.empty() &&
         (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ' || words.back() == L'.')) {
    words.pop_back();
  }
  if (words.empty()) return "error " + std::to_string(error);
  return Narrow(words);
}

// Why the lock file at `path` could not be opened or made, from the error
// the system gave: the folder's fault when the file is not there to open.
LockFailure unopenableLock(const std::wstring& path, DWORD error) {
  if (error == ERROR_WRITE_PROTECT) return {LockProblem::ReadOnlyFolder, systemErrorText(error)};
  const bool there = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  return {there ? LockProblem::Unopenable : LockProblem::FolderRefusesFiles, systemErrorText(error)};
}

bool isDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::optional<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path, bool* missing) {
  HANDLE handle = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (missing != nullptr) *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return std::nullopt;
  }
  if (missing != nullptr) *missing = false;
  return ReadOnlyFile(owned(handle));
}

bool FileHandle::reset() {
  if (!valid()) return true;
  return ::CloseHandle(reinterpret_cast<HANDLE>(release())) != 0;
}

std::optional<std::string> ReadOnlyFile::readToEnd() {
  HANDLE handle = handleOf(handle_);
  std::string contents;
  char buffer[65536];
  while (true) {
    DWORD n = 0;
    if (!::ReadFile(handle, buffer, sizeof buffer, &n, nullptr)) return std::nullopt;
    if (n == 0) return contents;
    contents.append(buffer, n);
  }
}

std::optional<FileStatus> ReadOnlyFile::status() const { return statusOfHandle(handleOf(handle_)); }

std::optional<FileStatus> StatusOf(const std::string& path) {
  // Opening for no access at all reads the attributes of files and, with
  // the backup flag, of folders, without disturbing anyone else's handle.
  const FileHandle handle = owned(
      ::CreateFileW(Widen(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.valid()) return std::nullopt;
  return statusOfHandle(handleOf(handle));
}

bool MayWrite(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

std::chrono::nanoseconds WallClockNow() {
  FILETIME now{};
  ::GetSystemTimePreciseAsFileTime(&now);
  return fromFileTime(ticksOf(now));
}

std::optional<std::string> FollowLinks(std::string path) { return path; }

bool ReplaceFile(const std::string& target, const std::string& contents, const std::optional<FileStatus>& existing) {
  std::string temporary;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = TemporaryName(target, ::GetCurrentProcessId());
    created =
        ::CreateFileW(Widen(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (created == INVALID_HANDLE_VALUE) return false;
  FileHandle file = owned(created);
  bool ok = writeAll(handleOf(file), contents);
  if (!file.reset()) ok = false;
  const std::wstring wideTemporary = Widen(temporary);
  const std::wstring wideTarget = Widen(target);
  if (ok) {
    // ReplaceFileW carries the old file's attributes and security over to
    // the new one, as the mode is kept on POSIX systems; a file that is not
    // there yet is simply renamed into place.
    ok = existing ? ::ReplaceFileW(wideTarget.c_str(), wideTemporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                   nullptr, nullptr) != 0
                  : ::MoveFileExW(wideTemporary.c_str(), wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  if (!ok) ::DeleteFileW(wideTemporary.c_str());
  return ok;
}

std::optional<WriteLock> WriteLock::Acquire(const std::string& target, std::chrono::milliseconds bound,
                                            LockFailure* failure) {
  const std::wstring path = Widen(LockFileName(target));
  // The lock file is shared in every way, so that a writer holding it never
  // keeps another from opening it to wait, and it is hidden, like the dot
  // files beside the settings file on other systems.
  FileHandle lock = owned(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_HIDDEN, nullptr));
  DWORD error = lock.valid() ? ERROR_SUCCESS : ::GetLastError();
  // A lock file that another user made can still be locked through a
  // handle that only reads.
  if (!lock.valid() && error == ERROR_ACCESS_DENIED) {
    lock = owned(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    // The first error tells why, also when the lock file is not there.
    if (!lock.valid() && ::GetLastError() != ERROR_FILE_NOT_FOUND) error = ::GetLastError();
  }
  if (!lock.valid()) {
    if (failure != nullptr) *failure = unopenableLock(path, error);
    return std::nullopt;
  }
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (true) {
    // The whole range the lock file could ever have; locks on Windows may
    // reach beyond a file's end, and this one is empty.
    OVERLAPPED whole{};
    if (::LockFileEx(handleOf(lock), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                     &whole)) {
      break;
    }
    const DWORD lockError = ::GetLastError();
    if (lockError != ERROR_LOCK_VIOLATION || std::chrono::steady_clock::now() >= deadline) {
      if (failure != nullptr) {
        *failure = lockError == ERROR_LOCK_VIOLATION ? LockFailure{LockProblem::HeldTooLong, {}}
                                                     : LockFailure{LockProblem::Unopenable, systemErrorText(lockError)};
      }
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return WriteLock(std::move(lock));
}

WriteLock::~WriteLock() {
  if (!handle_.valid()) return;
  // Closing the handle would release the lock too, but only when the system
  // gets round to it; the next writer should not wait for that.
  OVERLAPPED whole{};
  ::UnlockFileEx(handleOf(handle_), 0, MAXDWORD, MAXDWORD, &whole);
}

void RemoveStaleTemporaryFiles(const std::string& target) {
  const std::string folder = FolderOf(target);
  const std::string prefix = TemporaryPrefix(target);
  WIN32_FIND_DATAW found{};
  const FolderSearch search = findFirst(JoinPath(folder, prefix + "*"), found);
  if (!search) return;
  do {
    const std::string name = Narrow(found.cFileName);
    const std::optional<std::uint64_t> writer = TemporaryWriter(name, prefix);
    if (!writer || *writer > MAXDWORD || processRuns(static_cast<DWORD>(*writer))) continue;
    ::DeleteFileW(Widen(JoinPath(folder, name)).c_str());
  } while (::FindNextFileW(search.get(), &found));
}

bool CreateFolders(const std::string& path) {
  if (path.empty() || isDirectory(path)) return !path.empty();
  const std::size_t slash = LastSeparator(path);
  if (slash != std::string::npos && slash > 0 && !CreateFolders(FolderOf(path))) return false;
  return ::CreateDirectoryW(Widen(path).c_str(), nullptr) != 0 ||
         (::GetLastError() == ERROR_ALREADY_EXISTS && isDirectory(path));
}

std::string UserSettingsHome() {
  // The roaming application-data folder, not created when it is missing.
  PWSTR folder = nullptr;
  std::string result;
  if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK) result = Narrow(folder);
  ::CoTaskMemFree(folder);
  return result;
}

std::optional<std::string> FromAnsiCodePage(std::string_view text) {
  if (::GetACP() == CP_UTF8 || text.empty()) return std::nullopt;
  const int size = static_cast<int>(text.size());
  const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (units <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), units);
  return Narrow(wide);
}

std::optional<std::string> ToAnsiCodePage(std::string_view utf8) {
  if (::GetACP() == CP_UTF8) return std::nullopt;
  if (utf8.empty()) return std::string();
  const std::wstring wide = Widen(utf8);
  const int units = static_cast<int>(wide.size());
  // No best-fit stand-ins: a letter the code page lacks must not turn into
  // a look-alike or a question mark in a stored path.
  BOOL lost = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, nullptr, &lost);
  if (size <= 0 || lost) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, ansi.data(), size, nullptr, &lost);
  if (lost) return std::nullopt;
  return ansi;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> result;
  std::string pattern = folder;
  if (pattern.empty() || !IsPathSeparator(pattern.back())) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  const FolderSearch search = findFirst(pattern, found);
  if (!search) {
    // A drive's root folder without any entry finds nothing; any other
    // failure (no such folder, access denied) means it cannot be read.
    if (::GetLastError() == ERROR_FILE_NOT_FOUND && isDirectory(folder)) return result;
    return std::nullopt;
  }
  do {
    const std::string name = Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    result.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0});
  } while (::FindNextFileW(search.get(), &found));
  if (::GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
  return result;
}

ReadAccess ReadAccessOf(const std::string& path) {
  const FileHandle file = owned(::CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid()) return ReadAccess::Readable;
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    // A name Windows cannot hold (quotes, a colon) names no file either.
    case ERROR_INVALID_NAME:
      return ReadAccess::Missing;
    // Another program holds the file open without sharing it: it is there
    // and may be read once that program lets go.
    case ERROR_SHARING_VIOLATION:
      return ReadAccess::Readable;
    default:
      // Access denied, and folders, which open only with backup semantics.
      return ReadAccess::Unreadable;
  }
}

}  // namespace quorrel
