#include "entry/arguments.h"

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
  return Mode::None;
}

}  // namespace quorrel
