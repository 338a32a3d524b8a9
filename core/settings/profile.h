#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorrel {

// Whether the profile format can hold a name or value so that it reads
// back the same. A line break or a NUL would split or cut the line; a key
// holding '=' or a section holding ']' would be read as a different name; a
// key starting with ';' or '[' would read as a comment or a header.
[[nodiscard]] bool IsStorableSectionName(std::string_view name);
[[nodiscard]] bool IsStorableKeyName(std::string_view name);
[[nodiscard]] bool IsStorableValue(std::string_view value);

// A text in the Windows profile (INI) format, held in memory and read the
// way Windows reads hand-edited files:
//  - a line "[name]" opens a section, "key=value" holds a value, a line
//    starting with ';' is a comment; blanks around names and values are
//    trimmed and a value wholly in matching quotes loses them;
//  - names are compared without regard to ASCII case; the first of
//    duplicate sections or keys is the one read and written;
//  - lines end in CR-LF, LF or CR; a leading UTF-8 byte order mark is kept
//    but not read; lines before the first section are kept and ignored.
// Edits change only the lines they must: every other byte of the text stays
// as it was, so hand-made comments, spacing and line ends survive.
class Profile {
 public:
  Profile() = default;
  explicit Profile(std::string_view text);

  // The value of the first `key` in the first `section`, or nothing when
  // either is missing. A value ends at a NUL byte if it holds one.
  [[nodiscard]] std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

  // Replaces the value in place when the key exists, otherwise appends the
  // key to its section, or appends the section at the end of the text.
  // Throws std::invalid_argument for a name or value that is not storable.
  void set(std::string_view section, std::string_view key, std::string_view value);

  // Removes every line of `key` in the first `section`; false when there
  // was none.
  bool remove(std::string_view section, std::string_view key);

  [[nodiscard]] std::string text() const;

 private:
  enum class Ending : std::uint8_t { None, Lf, CrLf, Cr };
  struct Line {
    std::string text;
    Ending ending = Ending::None;
  };
  struct Section {
    // The header line comes first, except in the lines before any header.
    std::vector<Line> lines;
    // Folded key name to the index of the first line that holds it.
    std::unordered_map<std::string, std::size_t> keys;
  };

  void indexKeys(Section& section);
  // The three cases of set(): a key that is there, a new key in a section
  // that is there, and a new section at the end of the text.
  void replaceValue(Line& line, std::string_view value);
  void appendKey(Section& section, std::string_view key, std::string_view value);
  void appendSection(std::string_view section, std::string_view key, std::string_view value);
  void terminateLastLine();
  // A line ending in a lone CR followed by an empty line ending in LF
  // prints as one CR-LF line break, and reads back as one line. Such pairs
  // are joined, so that the lines held here stay the lines a fresh read of
  // the text gives.
  static void joinSplitLineBreaks(Section& section);

  std::string bom_;
  // sections_[0] holds the lines before the first header and is never
  // addressed by name.
  std::vector<Section> sections_{1};
  std::unordered_map<std::string, std::size_t> sectionIndex_;
  // New lines end the way the text's first line ends; LF in a new text.
  Ending newline_ = Ending::Lf;
};

}  // namespace quorrel
