// libFuzzer target for the profile-format editor: arbitrary file contents,
// decoded as the settings store decodes them, then a sequence of finds, sets
// and removes on the text. The decoding must give back what it read once the
// text is stored again in the file's own encoding; each step checks the
// editor against rules that any correct editor keeps:
//  - parsing and printing give the text back byte for byte;
//  - a find agrees with a plain line-by-line reading of the printed text;
//  - after a set, the find gives the value back; a set removes bytes from
//    at most one line and never a line end;
//  - after a remove, the key is gone and exactly its lines went;
//  - a name or value the format cannot hold is refused and nothing changes.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/profile.h"
#include "settings/settings_text.h"

namespace {

using quorrel::Profile;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "profile_fuzzer: broken rule: %s\n", what);
    std::abort();
  }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  a = trimmed(a);
  b = trimmed(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The text's lines, each with its line end.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      lines.push_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string_view content(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

// The reading rules, written out plainly as a second opinion.
std::optional<std::string> referenceFind(std::string_view text, std::string_view section, std::string_view key) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool inSection = false;
  for (std::string_view line : linesOf(text)) {
    const std::string_view t = trimmed(content(line));
    const auto close = t.rfind(']');
    if (!t.empty() && t.front() == '[' && close != std::string_view::npos && close > 0) {
      // Only the first section of the name is read.
      if (inSection) return std::nullopt;
      inSection = sameName(t.substr(1, close - 1), section);
    } else if (inSection && !t.empty() && t.front() != ';' && t.find('=') != std::string_view::npos) {
      if (sameName(t.substr(0, t.find('=')), key)) {
        std::string_view value = t.substr(t.find('=') + 1);
        value = trimmed(value.substr(0, value.find('\0')));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.front() == value.back()) {
          value = value.substr(1, value.size() - 2);
        }
        return std::string(value);
      }
    }
  }
  return std::nullopt;
}

// The text less every line of `key` in the first `section`, byte for byte.
std::string referenceRemove(std::string_view text, std::string_view section, std::string_view key) {
  std::string kept;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    kept = text.substr(0, 3);
    text.remove_prefix(3);
  }
  enum { Before, Inside, After } where = Before;
  for (std::string_view line : linesOf(text)) {
    const std::string_view t = trimmed(content(line));
    const auto close = t.rfind(']');
    if (!t.empty() && t.front() == '[' && close != std::string_view::npos && close > 0) {
      if (where == Inside) where = After;
      if (where == Before && sameName(t.substr(1, close - 1), section)) where = Inside;
    } else if (where == Inside && !t.empty() && t.front() != ';' && t.find('=') != std::string_view::npos &&
               sameName(t.substr(0, t.find('=')), key)) {
      continue;
    }
    kept += line;
  }
  return kept;
}

std::optional<std::string> findIn(const Profile& profile, std::string_view section, std::string_view key) {
  const auto value = profile.find(section, key);
  return value ? std::optional<std::string>(*value) : std::nullopt;
}

// The parts of `before` and `after` that differ, once their common start
// and end are set aside.
std::pair<std::string_view, std::string_view> difference(std::string_view before, std::string_view after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return {before.substr(prefix, before.size() - prefix - suffix), after.substr(prefix, after.size() - prefix - suffix)};
}

void checkSet(Profile& profile, const std::string& section, const std::string& key, const std::string& value) {
  const std::string before = profile.text();
  const bool storable =
      quorrel::IsStorableSectionName(section) && quorrel::IsStorableKeyName(key) && quorrel::IsStorableValue(value);
  try {
    profile.set(section, key, value);
    check(storable, "an unstorable name or value was accepted");
  } catch (const std::invalid_argument&) {
    check(!storable, "a storable name and value were refused");
    check(profile.text() == before, "a refused set changed the text");
    return;
  }
  const std::string after = profile.text();
  check(findIn(profile, section, key) == value, "find does not give back the value just set");
  const auto [removed, added] = difference(before, after);
  check(removed.find_first_of("\r\n") == std::string_view::npos, "a set removed a line end");
  if (!removed.empty()) check(referenceFind(before, section, key).has_value(), "a set of a new key changed old bytes");
  (void)added;
}

void checkRemove(Profile& profile, const std::string& section, const std::string& key) {
  const std::string before = profile.text();
  const bool removed = profile.remove(section, key);
  const std::string after = profile.text();
  check(!profile.find(section, key).has_value(), "a removed key is still found");
  check(removed == referenceFind(before, section, key).has_value(), "remove reports the wrong outcome");
  if (!removed) {
    check(after == before, "a remove of a missing key changed the text");
    return;
  }
  check(after == referenceRemove(before, section, key), "a remove changed more than the key's lines");
}

// A file's contents as the store reads them, after checking that the text
// stored again in the encoding it was found in reads back the same.
std::string decodedChecked(const std::string& stored) {
  const quorrel::StoredText decoded = quorrel::DecodeSettingsText(stored);
  if (decoded.encoding == quorrel::TextEncoding::Unreadable) {
    check(decoded.text.empty(), "a file in an encoding that is not read gives text");
    return decoded.text;
  }
  const quorrel::StoredText again =
      quorrel::DecodeSettingsText(quorrel::EncodeSettingsText(decoded.text, decoded.encoding));
  check(again.encoding == decoded.encoding, "a file stored again changes its encoding");
  check(again.text == decoded.text, "a file stored again reads differently");
  return decoded.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  struct Step {
    int kind;
    std::string section, key, value;
  };
  std::vector<Step> steps(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (Step& step : steps) {
    step.kind = input.ConsumeIntegralInRange<int>(0, 2);
    step.section = input.ConsumeRandomLengthString(12);
    step.key = input.ConsumeRandomLengthString(12);
    step.value = input.ConsumeRandomLengthString(24);
  }
  const std::string text = decodedChecked(input.ConsumeRemainingBytesAsString());

  Profile profile(text);
  check(profile.text() == text, "printing the parsed text does not give it back");
  for (const Step& step : steps) {
    if (step.kind == 0) {
      check(findIn(profile, step.section, step.key) == referenceFind(profile.text(), step.section, step.key),
            "find disagrees with the plain reading");
    } else if (step.kind == 1) {
      checkSet(profile, step.section, step.key, step.value);
    } else {
      checkRemove(profile, step.section, step.key);
    }
    // The edited profile and a fresh parse of its text must agree.
    const std::string now = profile.text();
    const Profile reparsed(now);
    check(reparsed.text() == now, "printing a reparsed edit does not give it back");
    for (const Step& other : steps) {
      check(findIn(profile, other.section, other.key) == findIn(reparsed, other.section, other.key),
            "the edited index disagrees with a fresh parse");
      check(findIn(profile, other.section, other.key) == referenceFind(now, other.section, other.key),
            "find disagrees with the plain reading after an edit");
    }
  }
  return 0;
}
