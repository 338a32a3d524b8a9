#include "base/messages.h"

#include "system/paths.h"

namespace quorrel {

namespace {
std::string& titleStorage() {
  static std::string title = "quorrel";
  return title;
}
}  // namespace

std::string MessageCaption(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return "Warning";
    case MessageKind::Error:
      return "Error";
    case MessageKind::Information:
      return "Information";
    case MessageKind::Confirm:
      return "Confirm";
    case MessageKind::Plain:
      break;
  }
  return ApplicationTitle();
}

std::string GeneralErrorText(std::string_view message) {
  std::string text(message);
  // The comparison is on the character's code as an unsigned byte, so a
  // message ending in a letter, a digit or a UTF-8 byte gets the full stop
  // and one ending in a blank, "!" or "." does not.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

const std::string& ApplicationTitle() { return titleStorage(); }

void SetApplicationTitle(std::string title) { titleStorage() = std::move(title); }

std::string TitleFromExecutable(std::string_view executablePath) {
  std::string_view name = executablePath;
  if (const auto slash = LastSeparator(std::string(name)); slash != std::string::npos) {
    name.remove_prefix(slash + 1);
  }
  if (const auto dot = name.find_last_of('.'); dot != std::string_view::npos && dot > 0) {
    name = name.substr(0, dot);
  }
  std::string title(name);
  for (std::size_t i = 1; i < title.size(); ++i) {
    if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
  }
  return title;
}

}  // namespace quorrel
