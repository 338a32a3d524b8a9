#pragma once

#include <string>
#include <string_view>

namespace quorrel {

// How a settings file's text is stored. Windows' own profile functions read
// and write the first four, and settings files written by Notepad
// ("Unicode", "Unicode big endian") or by older programs (the ANSI code
// page) are met in the wild.
enum class TextEncoding {
  // The text's own bytes: UTF-8, with or without a byte order mark, or
  // whatever bytes a POSIX system's file names hold.
  Bytes,
  // UTF-16, little-endian, after the byte order mark FF FE.
  Utf16Le,
  // UTF-16, big-endian, after the byte order mark FE FF.
  Utf16Be,
  // Windows' ANSI code page (cp1252 on western systems), for text without
  // a byte order mark that is not UTF-8. Only where the system has one.
  Ansi,
  // An encoding that is recognised but not read: UTF-32 after its byte
  // order mark, or UTF-16 without one. Such a file reads as empty text,
  // and is never written: lines added in another encoding would leave it
  // readable in neither.
  Unreadable,
};

struct StoredText {
  // What the profile parser reads: UTF-8, or the file's own bytes.
  std::string text;
  TextEncoding encoding = TextEncoding::Bytes;
};

// A settings file's contents as the parser reads them, and how they were
// stored.
[[nodiscard]] StoredText DecodeSettingsText(std::string stored);

// `text` stored the way the file was, so that rewriting a file never
// changes its encoding. A text that the ANSI code page cannot hold (a path
// with letters from another script) is stored as UTF-16 with its byte order
// mark instead, which Windows reads the same, rather than with letters lost.
// Not for Unreadable, which is never written.
[[nodiscard]] std::string EncodeSettingsText(std::string_view text, TextEncoding encoding);

// Whether `text` is well-formed UTF-8.
[[nodiscard]] bool IsUtf8(std::string_view text);

// UTF-16 bytes of either byte order (no byte order mark) and UTF-8,
// converted either way; what cannot be converted becomes U+FFFD.
[[nodiscard]] std::string Utf16LeToUtf8(std::string_view utf16);
[[nodiscard]] std::string Utf8ToUtf16Le(std::string_view utf8);
[[nodiscard]] std::string Utf16BeToUtf8(std::string_view utf16);
[[nodiscard]] std::string Utf8ToUtf16Be(std::string_view utf8);

}  // namespace quorrel
