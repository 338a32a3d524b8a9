#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorrel {

// A write to the settings file that the system refused. The message is
// "Unable to write to <full path>", followed by ": <reason>" when the
// reason lies elsewhere than in the file's own permissions (its write lock,
// its folder, its text encoding).
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::string& path, const std::string& reason = {});
};

// A text value that the profile format cannot hold (a line break or a NUL
// would split or cut the line and corrupt the file). Nothing is written.
// The message is "A text with a line break or a NUL character cannot be
// stored in <full path>".
class SettingsValueError : public std::runtime_error {
 public:
  explicit SettingsValueError(const std::string& path);
  // A section or key name that the format cannot hold: one with a line
  // break or a NUL, a key with '=' or starting with ';' or '[', a section
  // with ']'.
  SettingsValueError(const std::string& path, std::string_view name);
};

class Profile;

// A text read as the settings file's operations read it, from a text
// already in memory (nullptr: no file): a missing key gives the default
// without its trailing blanks, and a value is cut to 2047 bytes.
[[nodiscard]] std::string ReadText(const Profile* profile, std::string_view section, std::string_view key,
                                   std::string_view defaultText);

// The settings file, in the Windows profile (INI) format, reached through
// seven operations. Each operation goes to the file itself: a read sees the
// file as it is on disk at that moment (another process may have changed
// it), and a write replaces the whole file atomically before it returns.
// Section and key names are compared without regard to ASCII case.
//
// Writes: a path that is a symbolic link is written through to its target
// and stays a link; the file's mode is kept. A file without any write bit,
// a folder without any write bit, a missing folder, a folder at the path,
// a file in a text encoding that is not read (see inUnreadableEncoding), a
// full disk or a failed rename refuse the write with SettingsWriteError,
// leaving the old file as it was and no temporary file behind. A write that
// would not change the file's bytes leaves it untouched (but a read-only
// file refuses it all the same). A value that a blank at either end or
// enclosing quotes would not survive reading is written in double quotes,
// so it reads back exactly.
class SettingsFile {
 public:
  explicit SettingsFile(std::string path);

  [[nodiscard]] const std::string& path() const { return path_; }

  // A missing file, section or key gives the default without its trailing
  // blanks; a value longer than 2047 bytes is cut to 2047.
  [[nodiscard]] std::string readText(std::string_view section, std::string_view key,
                                     std::string_view defaultText) const;
  // Throws SettingsValueError or SettingsWriteError; the file is then unchanged.
  void writeText(std::string_view section, std::string_view key, std::string_view value);

  // Decimal with an optional '-', or hexadecimal after "0x"/"0X"; anything
  // else, or a number outside the 32-bit range, gives the default.
  [[nodiscard]] std::int32_t readNumber(std::string_view section, std::string_view key,
                                        std::int32_t defaultValue) const;
  void writeNumber(std::string_view section, std::string_view key, std::int32_t value);

  // A number; any value other than 0 is true. Written as "1" or "0".
  [[nodiscard]] bool readFlag(std::string_view section, std::string_view key, bool defaultValue) const;
  void writeFlag(std::string_view section, std::string_view key, bool value);

  // Removes the key's line. A missing key, or a failure, is not reported.
  void deleteKey(std::string_view section, std::string_view key) noexcept;

  // Whether the file is stored in a text encoding that is recognised but
  // not read (UTF-32, or UTF-16 without its byte order mark): it then reads
  // as empty, and every write to it is refused.
  [[nodiscard]] bool inUnreadableEncoding() const;

  // Applies `change` to the file's current contents and replaces the file
  // once, so that many values land together or not at all. The read, the
  // change and the replace run under the file's write lock, which every
  // write takes: a change that depends on what the file holds (the lowest
  // free slot) sees every other process's finished writes and no half-done
  // one. Throws as the single writes do; a name or value that `change`
  // cannot store gives SettingsValueError.
  void applyChanges(const std::function<void(Profile&)>& change);

 private:
  std::string path_;
};

}  // namespace quorrel
