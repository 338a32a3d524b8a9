#include "settings/settings_text.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "system/file_system.h"

namespace quorrel {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// UTF-32's marks; the little-endian one begins with UTF-16's.
constexpr std::string_view kUtf32LeMark("\xFF\xFE\0\0", 4);
constexpr std::string_view kUtf32BeMark("\0\0\xFE\xFF", 4);
constexpr char32_t kReplacement = 0xFFFD;

// The next code point of UTF-8 text at `at`, moving past it; nothing for a
// malformed or overlong sequence, a surrogate or a value beyond U+10FFFF.
std::optional<char32_t> nextUtf8(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  int length = 0;
  char32_t code = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
  } else {
    ++at;
    return std::nullopt;
  }
  if (at + static_cast<std::size_t>(length) > text.size()) {
    at = text.size();
    return std::nullopt;
  }
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(at + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      at += static_cast<std::size_t>(i);
      return std::nullopt;
    }
    code = (code << 6) | (next & 0x3F);
  }
  at += static_cast<std::size_t>(length);
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return code;
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

enum class ByteOrder { LittleEndian, BigEndian };

void appendUtf16(std::string& out, char16_t unit, ByteOrder order) {
  const char low = static_cast<char>(unit & 0xFF);
  const char high = static_cast<char>(unit >> 8);
  if (order == ByteOrder::LittleEndian) {
    out += low;
    out += high;
  } else {
    out += high;
    out += low;
  }
}

std::string utf16ToUtf8(std::string_view utf16, ByteOrder order) {
  std::string out;
  out.reserve(utf16.size());
  const std::size_t units = utf16.size() / 2;
  const auto unit = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(utf16[2 * i]);
    const auto second = static_cast<unsigned char>(utf16[2 * i + 1]);
    return static_cast<char16_t>(order == ByteOrder::LittleEndian ? first | (second << 8) : (first << 8) | second);
  };
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t first = unit(i);
    if (first >= 0xD800 && first <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
      ++i;
    } else if (first >= 0xD800 && first <= 0xDFFF) {
      appendUtf8(out, kReplacement);
    } else {
      appendUtf8(out, first);
    }
  }
  // A last lone byte of a damaged file.
  if (utf16.size() % 2 != 0) appendUtf8(out, kReplacement);
  return out;
}

std::string utf8ToUtf16(std::string_view utf8, ByteOrder order) {
  std::string out;
  out.reserve(utf8.size() * 2);
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t code = nextUtf8(utf8, at).value_or(kReplacement);
    if (code >= 0x10000) {
      appendUtf16(out, static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)), order);
      appendUtf16(out, static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)), order);
    } else {
      appendUtf16(out, static_cast<char16_t>(code), order);
    }
  }
  return out;
}

// UTF-16 without a byte order mark, as some programs save it: a settings
// file starts with an ASCII character ('[', ';', a letter or a blank), so
// one of its first two bytes is a NUL and the other is not. Text in any
// encoding that is read has no NUL there.
bool looksLikeUtf16WithoutMark(std::string_view text) {
  if (text.size() < 2) return false;
  const auto first = static_cast<unsigned char>(text[0]);
  const auto second = static_cast<unsigned char>(text[1]);
  return (first == 0 && second != 0 && second < 0x80) || (second == 0 && first != 0 && first < 0x80);
}

}  // namespace

bool IsUtf8(std::string_view text) {
  // Settings files are nearly always plain ASCII, which needs no decoding:
  // a quick look for any byte above it comes first.
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return true;
  for (std::size_t at = 0; at < text.size();) {
    if (!nextUtf8(text, at)) return false;
  }
  return true;
}

std::string Utf16LeToUtf8(std::string_view utf16) { return utf16ToUtf8(utf16, ByteOrder::LittleEndian); }

std::string Utf8ToUtf16Le(std::string_view utf8) { return utf8ToUtf16(utf8, ByteOrder::LittleEndian); }

std::string Utf16BeToUtf8(std::string_view utf16) { return utf16ToUtf8(utf16, ByteOrder::BigEndian); }

std::string Utf8ToUtf16Be(std::string_view utf8) { return utf8ToUtf16(utf8, ByteOrder::BigEndian); }

StoredText DecodeSettingsText(std::string stored) {
  const std::string_view view(stored);
  if (view.starts_with(kUtf32LeMark) || view.starts_with(kUtf32BeMark) || looksLikeUtf16WithoutMark(view)) {
    return {std::string(), TextEncoding::Unreadable};
  }
  if (view.starts_with(kUtf16LeMark)) return {Utf16LeToUtf8(view.substr(kUtf16LeMark.size())), TextEncoding::Utf16Le};
  if (view.starts_with(kUtf16BeMark)) return {Utf16BeToUtf8(view.substr(kUtf16BeMark.size())), TextEncoding::Utf16Be};
  if (!IsUtf8(stored)) {
    if (std::optional<std::string> text = FromAnsiCodePage(stored)) return {std::move(*text), TextEncoding::Ansi};
  }
  return {std::move(stored), TextEncoding::Bytes};
}

std::string EncodeSettingsText(std::string_view text, TextEncoding encoding) {
  if (encoding == TextEncoding::Ansi) {
    if (std::optional<std::string> ansi = ToAnsiCodePage(text)) return std::move(*ansi);
    encoding = TextEncoding::Utf16Le;
  }
  if (encoding == TextEncoding::Utf16Le) return std::string(kUtf16LeMark) + Utf8ToUtf16Le(text);
  if (encoding == TextEncoding::Utf16Be) return std::string(kUtf16BeMark) + Utf8ToUtf16Be(text);
  return std::string(text);
}

}  // namespace quorrel
