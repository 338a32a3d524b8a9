#pragma once

#include <string>
#include <string_view>

namespace quorrel {

// The two kinds of message box: typed boxes take their icon and caption from
// the kind; plain boxes have no icon and carry the application's title.
enum class MessageKind { Warning, Error, Information, Confirm, Plain };

// Every message the user sees goes through this interface: modal, fixed
// text, one "OK" button. The Qt front end shows real boxes; tests record.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void showMessage(MessageKind kind, const std::string& text) = 0;
};

// Caption of a typed box ("Warning", "Error", "Information", "Confirm"), or
// the application title for a plain one.
[[nodiscard]] std::string MessageCaption(MessageKind kind);

// The text of the general error report: the error's message with a full
// stop appended when its last character sorts after the full stop.
[[nodiscard]] std::string GeneralErrorText(std::string_view message);

// The process-wide application title: "Quorrel" in the show, otherwise the
// executable's name without folder and extension, first character kept and
// the rest lower-cased.
[[nodiscard]] const std::string& ApplicationTitle();
void SetApplicationTitle(std::string title);
[[nodiscard]] std::string TitleFromExecutable(std::string_view executablePath);

}  // namespace quorrel
