#include "linux/base/application.h"

#include <QMessageBox>
#include <exception>

#include "linux/base/message_boxes.h"

namespace quorrel::linux_desktop {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

MessageBoxes& Application::messageBoxes() {
  static ModalMessageBoxes boxes;
  return boxes;
}

void Application::reportError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, DisplayText(ApplicationTitle()), DisplayText(GeneralErrorText(message)),
                  QMessageBox::Ok);
  ExecMessageBox(box);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    reportError(error.what());
  }
  return false;
}

}  // namespace quorrel::linux_desktop
