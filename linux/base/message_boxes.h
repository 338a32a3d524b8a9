#pragma once

#include <QString>
#include <functional>
#include <string>

#include "base/messages.h"

class QMessageBox;
class QWidget;

namespace quorrel::linux_desktop {

// Modal QMessageBox with the icon and caption of its kind, one "OK" button.
class ModalMessageBoxes : public MessageBoxes {
 public:
  void showMessage(MessageKind kind, const std::string& text) override;
};

// Shows a box modally, above the show window and every other window.
// Every message box of the process opens through here.
void ExecMessageBox(QMessageBox& box);

// Called with true before the first of any nested boxes opens and with
// false after the last one has closed. The show uses it to hand the
// keyboard and a visible pointer to the box while it is open; nothing else
// sets it. Pass an empty function to clear it.
void SetMessageBoxHook(std::function<void(bool open)> hook);

// The window every box is centred on and kept above, until set back to
// nullptr: the show's window, so that a box during the show opens on the
// primary monitor wherever the pointer is.
void SetMessageBoxOwner(QWidget* window);

// Text for display: settings values are bytes, usually UTF-8; bytes that
// are not valid UTF-8 show as replacement characters but are never lost,
// since the bytes themselves stay in the core.
[[nodiscard]] QString DisplayText(const std::string& bytes);

}  // namespace quorrel::linux_desktop
