#pragma once

#include "base/messages.h"

namespace quorrel::windows_desktop {

// Modal MessageBoxW boxes over the window that is active when one opens,
// with one "OK" button: the typed kinds with their icon and caption, plain
// ones captioned with the application's title.
class ModalMessageBoxes : public MessageBoxes {
 public:
  void showMessage(MessageKind kind, const std::string& text) override;
};

}  // namespace quorrel::windows_desktop
