#pragma once

#include <QString>
#include <string>

#include "app/messages.h"

class QMessageBox;

namespace quorrel {

// Modal QMessageBox with the icon and caption of its kind, one "OK" button.
class QtMessageBoxes : public MessageBoxes {
 public:
  void showMessage(MessageKind kind, const std::string& text) override;
};

// Makes a box stay above the show window and every other window.
void KeepAboveOtherWindows(QMessageBox& box);

// Text for display: settings values are bytes, usually UTF-8; bytes that
// are not valid UTF-8 show as replacement characters but are never lost,
// since the bytes themselves stay in the core.
[[nodiscard]] QString DisplayText(const std::string& bytes);

}  // namespace quorrel
