#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel {

// "-window-id" or "--window-id", in that letter case, as X screen-saver
// hosts pass it.
[[nodiscard]] bool IsWindowIdSwitch(std::string_view argument);

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

// The window a hosted show draws into, or why there is none to draw into.
struct HostWindowChoice {
  // 0: the root window, as X screen-saver modules take it when run by hand.
  std::uint64_t window = 0;
  // Not empty when the arguments or the environment name something that is
  // not a window id; the show must not start then.
  std::string error;
};

// The window named on the command line, else the one the host puts in
// XSCREENSAVER_WINDOW (XScreenSaver writes it in hexadecimal, xsecurelock in
// decimal; `xscreensaverWindow` is its value, nullptr when it is not set),
// else the root window.
[[nodiscard]] HostWindowChoice ChooseHostWindow(const std::vector<std::string>& arguments,
                                                const char* xscreensaverWindow);

}  // namespace quorrel
