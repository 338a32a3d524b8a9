#include "linux/entry/application.h"

#include <QMessageBox>
#include <exception>

#include "linux/base/message_boxes.h"

namespace quorrel {

QuorrelApplication::QuorrelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

MessageBoxes& QuorrelApplication::messageBoxes() {
  static QtMessageBoxes boxes;
  return boxes;
}

void QuorrelApplication::reportError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, DisplayText(ApplicationTitle()), DisplayText(GeneralErrorText(message)),
                  QMessageBox::Ok);
  ExecMessageBox(box);
}

bool QuorrelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    reportError(error.what());
  }
  return false;
}

}  // namespace quorrel
