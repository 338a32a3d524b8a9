#include "entry/arguments.h"

#include <charconv>

namespace quorrel {

std::string UpperCasedArgument(std::string_view argument) {
  std::string upper(argument);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

namespace {

bool isWindowIdSwitch(std::string_view argument) { return argument == "-window-id" || argument == "--window-id"; }

}  // namespace

Mode DecodeMode(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return Mode::None;
  const std::string& first = arguments.front();
  if (first == "-root" || first == "--root" || isWindowIdSwitch(first)) return Mode::Hosted;
  const std::string upper = UpperCasedArgument(arguments.front());
  const std::string_view prefix = std::string_view(upper).substr(0, 2);
  // The show switch has no prefix form: "/S:1" is not a show.
  if (upper == "/S") return Mode::Show;
  if (prefix == "/C") return Mode::Configure;
  if (prefix == "/A") return Mode::ChangePassword;
  return Mode::None;
}

HostedWindow DecodeHostedWindow(const std::vector<std::string>& arguments) {
  HostedWindow hosted;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (!isWindowIdSwitch(arguments[i])) continue;
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

}  // namespace quorrel
