#include "entry/arguments.h"

#include <charconv>

#include "entry/host_window.h"

namespace quorrel {

std::string UpperCasedArgument(std::string_view argument) {
  std::string upper(argument);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

Mode DecodeMode(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return Mode::None;
  const std::string& first = arguments.front();
  if (first == "-root" || first == "--root" || IsWindowIdSwitch(first)) return Mode::Hosted;
  const std::string upper = UpperCasedArgument(arguments.front());
  const std::string_view prefix = std::string_view(upper).substr(0, 2);
  // The show switch has no prefix form: "/S:1" is not a show.
  if (upper == "/S") return Mode::Show;
  if (prefix == "/C") return Mode::Configure;
  if (prefix == "/A") return Mode::ChangePassword;
  if (upper == "/P" || upper.starts_with("/P:")) return Mode::Preview;
  return Mode::None;
}

bool RefusedWhileAShowRuns(Mode mode) { return mode != Mode::Hosted && mode != Mode::Preview; }

namespace {

// The handle after a mode's two letters and a colon, or in the next
// argument when the first is the two letters alone.
std::optional<std::uint64_t> handleAfterSwitch(const std::vector<std::string>& arguments) {
  std::string_view text;
  const std::string_view first = arguments.front();
  if (first.size() > 2) {
    if (first[2] != ':') return std::nullopt;
    text = first.substr(3);
  } else if (arguments.size() > 1) {
    text = arguments[1];
  }
  std::uint64_t handle = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), handle);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || handle == 0) return std::nullopt;
  return handle;
}

}  // namespace

std::optional<std::uint64_t> PreviewWindowHandle(const std::vector<std::string>& arguments) {
  if (arguments.empty() || DecodeMode(arguments) != Mode::Preview) return std::nullopt;
  return handleAfterSwitch(arguments);
}

std::optional<std::uint64_t> SettingsOwnerHandle(const std::vector<std::string>& arguments) {
  if (arguments.empty() || DecodeMode(arguments) != Mode::Configure) return std::nullopt;
  return handleAfterSwitch(arguments);
}

}  // namespace quorrel
