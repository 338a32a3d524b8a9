#include "settings/profile.h"

#include <stdexcept>

namespace quorrel {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

bool isWhollyQuoted(std::string_view text) {
  return text.size() >= 2 && isQuote(text.front()) && text.front() == text.back();
}

std::string fold(std::string_view name) {
  std::string folded(trim(name));
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool holdsLineBreakOrNul(std::string_view text) {
  for (const char c : text) {
    if (c == '\r' || c == '\n' || c == '\0') return true;
  }
  return false;
}

// The position of the next CR or LF from `pos`, or the text's size. A plain
// loop: the library's find_first_of searches the set once per character.
std::size_t nextLineBreak(std::string_view text, std::size_t pos) {
  while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
  return pos;
}

enum class Kind { Blank, Comment, Header, Key, Other };

Kind kindOf(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.empty()) return Kind::Blank;
  if (t.front() == ';') return Kind::Comment;
  if (t.front() == '[' && t.rfind(']') != std::string_view::npos && t.rfind(']') > 0) return Kind::Header;
  if (t.find('=') != std::string_view::npos) return Kind::Key;
  return Kind::Other;
}

// The name between '[' and the last ']' of a header line.
std::string_view headerName(std::string_view line) {
  const std::string_view t = trim(line);
  return trim(t.substr(1, t.rfind(']') - 1));
}

std::string_view keyName(std::string_view line) { return trim(line.substr(0, line.find('='))); }

std::string_view decodeValue(std::string_view line) {
  std::string_view value = line.substr(line.find('=') + 1);
  value = value.substr(0, value.find('\0'));
  value = trim(value);
  if (isWhollyQuoted(value)) value = value.substr(1, value.size() - 2);
  return value;
}

// Quotes a value that would otherwise lose its outer blanks or quotes when
// read back, as a file name with a trailing blank would.
std::string encodeValue(std::string_view value) {
  const bool needsQuotes = !value.empty() && (isBlank(value.front()) || isBlank(value.back()) || isWhollyQuoted(value));
  if (!needsQuotes) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return quoted;
}

}  // namespace

bool IsStorableSectionName(std::string_view name) {
  return !holdsLineBreakOrNul(name) && name.find(']') == std::string_view::npos;
}

bool IsStorableKeyName(std::string_view name) {
  const std::string_view t = trim(name);
  return !holdsLineBreakOrNul(name) && name.find('=') == std::string_view::npos && !t.empty() && t.front() != ';' &&
         t.front() != '[';
}

bool IsStorableValue(std::string_view value) { return !holdsLineBreakOrNul(value); }

Profile::Profile(std::string_view text) {
  if (text.substr(0, kBom.size()) == kBom) {
    bom_ = kBom;
    text.remove_prefix(kBom.size());
  }
  bool endingSeen = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = nextLineBreak(text, pos);
    Line line;
    if (end == text.size()) {
      line.text = text.substr(pos);
      pos = text.size();
    } else {
      line.text = text.substr(pos, end - pos);
      if (text[end] == '\n') {
        line.ending = Ending::Lf;
        pos = end + 1;
      } else if (end + 1 < text.size() && text[end + 1] == '\n') {
        line.ending = Ending::CrLf;
        pos = end + 2;
      } else {
        line.ending = Ending::Cr;
        pos = end + 1;
      }
      if (!endingSeen) {
        newline_ = line.ending;
        endingSeen = true;
      }
    }
    const Kind kind = kindOf(line.text);
    if (kind == Kind::Header) {
      sectionIndex_.try_emplace(fold(headerName(line.text)), sections_.size());
      sections_.emplace_back();
    } else if (kind == Kind::Key && sections_.size() > 1) {
      sections_.back().keys.try_emplace(fold(keyName(line.text)), sections_.back().lines.size());
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

void Profile::joinSplitLineBreaks(Section& section) {
  for (std::size_t i = 0; i + 1 < section.lines.size();) {
    const Line& next = section.lines[i + 1];
    if (section.lines[i].ending == Ending::Cr && next.text.empty() && next.ending == Ending::Lf) {
      section.lines[i].ending = Ending::CrLf;
      section.lines.erase(section.lines.begin() + static_cast<std::ptrdiff_t>(i + 1));
    } else {
      ++i;
    }
  }
}

void Profile::indexKeys(Section& section) {
  section.keys.clear();
  for (std::size_t i = 1; i < section.lines.size(); ++i) {
    if (kindOf(section.lines[i].text) == Kind::Key) section.keys.try_emplace(fold(keyName(section.lines[i].text)), i);
  }
}

std::optional<std::string_view> Profile::find(std::string_view section, std::string_view key) const {
  const auto s = sectionIndex_.find(fold(section));
  if (s == sectionIndex_.end()) return std::nullopt;
  const Section& found = sections_[s->second];
  const auto k = found.keys.find(fold(key));
  if (k == found.keys.end()) return std::nullopt;
  return decodeValue(found.lines[k->second].text);
}

void Profile::terminateLastLine() {
  for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
    if (!s->lines.empty()) {
      if (s->lines.back().ending == Ending::None) s->lines.back().ending = newline_;
      return;
    }
  }
}

void Profile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorableSectionName(section) || !IsStorableKeyName(key) || !IsStorableValue(value)) {
    throw std::invalid_argument("the profile format cannot hold this name or value");
  }
  const auto s = sectionIndex_.find(fold(section));
  if (s == sectionIndex_.end()) {
    appendSection(section, key, value);
    return;
  }
  Section& target = sections_[s->second];
  const auto k = target.keys.find(fold(key));
  if (k != target.keys.end()) {
    replaceValue(target.lines[k->second], value);
  } else {
    appendKey(target, key, value);
  }
}

void Profile::replaceValue(Line& line, std::string_view value) {
  // Keep the key as the file spells it, with its spacing around '='.
  std::size_t valueStart = line.text.find('=') + 1;
  while (valueStart < line.text.size() && isBlank(line.text[valueStart])) ++valueStart;
  line.text.replace(valueStart, std::string::npos, encodeValue(value));
}

void Profile::appendKey(Section& section, std::string_view key, std::string_view value) {
  // The new key goes after the section's last line that is neither blank nor
  // a comment, so that blank lines and comments leading into the next
  // section stay where they are. Only such lines follow it, so no key
  // index moves.
  std::size_t at = section.lines.size();
  while (at > 1 &&
         (kindOf(section.lines[at - 1].text) == Kind::Blank || kindOf(section.lines[at - 1].text) == Kind::Comment)) {
    --at;
  }
  if (section.lines[at - 1].ending == Ending::None) section.lines[at - 1].ending = newline_;
  // Before an empty line ending in LF, a lone CR would join that line's
  // break into its own; the new line ends in CR-LF instead.
  Ending ending = newline_;
  if (ending == Ending::Cr && at < section.lines.size() && section.lines[at].text.empty() &&
      section.lines[at].ending == Ending::Lf) {
    ending = Ending::CrLf;
  }
  section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at),
                       Line{std::string(trim(key)) + "=" + encodeValue(value), ending});
  section.keys.emplace(fold(key), at);
}

void Profile::appendSection(std::string_view section, std::string_view key, std::string_view value) {
  terminateLastLine();
  // A blank line sets the new section apart from the text before it.
  Section& last = sections_.back();
  const bool textEndsBlank = last.lines.empty() ? sections_.size() == 1 : kindOf(last.lines.back().text) == Kind::Blank;
  if (!textEndsBlank) {
    // After a line ending in a lone CR, an empty line ending in LF would
    // read back as part of that line break; it ends in CR too.
    const bool afterLoneCr = !last.lines.empty() && last.lines.back().ending == Ending::Cr;
    last.lines.push_back(Line{"", afterLoneCr && newline_ == Ending::Lf ? Ending::Cr : newline_});
  }
  Section added;
  added.lines.push_back(Line{"[" + std::string(trim(section)) + "]", newline_});
  added.lines.push_back(Line{std::string(trim(key)) + "=" + encodeValue(value), newline_});
  added.keys.emplace(fold(key), 1);
  sectionIndex_.emplace(fold(section), sections_.size());
  sections_.push_back(std::move(added));
}

bool Profile::remove(std::string_view section, std::string_view key) {
  const auto s = sectionIndex_.find(fold(section));
  if (s == sectionIndex_.end()) return false;
  Section& target = sections_[s->second];
  const std::string foldedKey = fold(key);
  if (!target.keys.contains(foldedKey)) return false;
  std::erase_if(target.lines, [&](const Line& line) {
    return kindOf(line.text) == Kind::Key && fold(keyName(line.text)) == foldedKey;
  });
  joinSplitLineBreaks(target);
  indexKeys(target);
  return true;
}

std::string Profile::text() const {
  std::size_t size = bom_.size();
  for (const Section& section : sections_) {
    for (const Line& line : section.lines) size += line.text.size() + 2;
  }
  std::string out;
  out.reserve(size);
  out += bom_;
  for (const Section& section : sections_) {
    for (const Line& line : section.lines) {
      out += line.text;
      switch (line.ending) {
        case Ending::None:
          break;
        case Ending::Lf:
          out += '\n';
          break;
        case Ending::CrLf:
          out += "\r\n";
          break;
        case Ending::Cr:
          out += '\r';
          break;
      }
    }
  }
  return out;
}

}  // namespace quorrel
