#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel {

// What one start of the process does, chosen by its first argument.
// Hosted is the show drawn into a screen-saver host's window.
enum class Mode { None, Show, Configure, ChangePassword, Hosted };

// The argument with a to z turned into A to Z; every other byte, including
// the bytes of letters outside ASCII, stays as it is.
[[nodiscard]] std::string UpperCasedArgument(std::string_view argument);

// Decodes the arguments that follow the program name. Only the first one
// counts: "/S" exactly runs the show, "/C" or "/A" as the whole argument or
// its first two characters configure or change the password, and the X
// screen-saver module switches "-root", "--root", "-window-id" and
// "--window-id" (in that letter case) draw the show into a host's window.
[[nodiscard]] Mode DecodeMode(const std::vector<std::string>& arguments);

// The window a host named for a hosted show.
struct HostedWindow {
  // From "-window-id ID" or "--window-id ID" anywhere in the arguments (a
  // host may pass "--root --window-id ID"); nothing when none was given.
  std::optional<std::uint64_t> window;
  // A window switch whose value is missing or not a window id.
  bool malformed = false;
};
[[nodiscard]] HostedWindow DecodeHostedWindow(const std::vector<std::string>& arguments);

// An X window id as hosts write it: hexadecimal after "0x" or "0X", or
// decimal. Nothing for anything else, zero included.
[[nodiscard]] std::optional<std::uint64_t> ParseWindowId(std::string_view text);

}  // namespace quorrel
