#include "entry/host_window.h"

#include <charconv>

namespace quorrel {

bool IsWindowIdSwitch(std::string_view argument) { return argument == "-window-id" || argument == "--window-id"; }

HostedWindow DecodeHostedWindow(const std::vector<std::string>& arguments) {
  HostedWindow hosted;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (!IsWindowIdSwitch(arguments[i])) continue;
    const std::optional<std::uint64_t> id = i + 1 < arguments.size() ? ParseWindowId(arguments[i + 1]) : std::nullopt;
    if (!id) {
      hosted.malformed = true;
      return hosted;
    }
    hosted.window = id;
    ++i;
  }
  return hosted;
}

std::optional<std::uint64_t> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  // X window ids are 29-bit numbers; anything larger is not one.
  if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 0x1FFFFFFF) {
    return std::nullopt;
  }
  return value;
}

HostWindowChoice ChooseHostWindow(const std::vector<std::string>& arguments, const char* xscreensaverWindow) {
  HostWindowChoice choice;
  const HostedWindow hosted = DecodeHostedWindow(arguments);
  if (hosted.malformed) {
    choice.error = "a window switch needs an X window id such as 0x2a00007 or 44040199";
  } else if (hosted.window) {
    choice.window = *hosted.window;
  } else if (xscreensaverWindow != nullptr && *xscreensaverWindow != 0) {
    if (const std::optional<std::uint64_t> window = ParseWindowId(xscreensaverWindow)) {
      choice.window = *window;
    } else {
      choice.error = std::string("XSCREENSAVER_WINDOW does not hold a window id: ") + xscreensaverWindow;
    }
  }
  return choice;
}

}  // namespace quorrel
