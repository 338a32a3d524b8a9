#pragma once

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

}  // namespace quorrel
