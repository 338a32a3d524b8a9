#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel {

// What one start of the process does, chosen by its first argument.
// Hosted is the show drawn into a screen-saver host's window; Preview is the
// show drawn into the window that Windows' screen saver settings hand over
// with "/p", which only a platform with such settings serves.
enum class Mode { None, Show, Configure, ChangePassword, Hosted, Preview };

// Whether a show on screen keeps the mode from running. The copies a
// screen-saver host or the settings' preview start are never refused: they
// draw into a window of their host, and hosts start one per monitor.
[[nodiscard]] bool RefusedWhileAShowRuns(Mode mode);

// The argument with a to z turned into A to Z; every other byte, including
// the bytes of letters outside ASCII, stays as it is.
[[nodiscard]] std::string UpperCasedArgument(std::string_view argument);

// Decodes the arguments that follow the program name. Only the first one
// counts: "/S" exactly runs the show, "/C" or "/A" as the whole argument or
// its first two characters configure or change the password, "/P" exactly
// or followed by ":" is the preview, and the X screen-saver module switches
// "-root", "--root", "-window-id" and "--window-id" (in that letter case)
// draw the show into a host's window.
[[nodiscard]] Mode DecodeMode(const std::vector<std::string>& arguments);

// The window the preview draws into, in decimal, as Windows passes it:
// "/p 1234" or "/p:1234". Nothing when there is none, or when it is not a
// decimal number above zero that fits in 64 bits.
[[nodiscard]] std::optional<std::uint64_t> PreviewWindowHandle(const std::vector<std::string>& arguments);

// The window that asked for the settings, which then own them, in decimal
// as Windows passes it: "/c:1234" or "/c 1234". Nothing for a plain "/c"
// and for anything that is not a decimal number above zero that fits in
// 64 bits.
[[nodiscard]] std::optional<std::uint64_t> SettingsOwnerHandle(const std::vector<std::string>& arguments);

}  // namespace quorrel
