#pragma once

#include <QApplication>

#include "base/messages.h"

namespace quorrel::linux_desktop {

// The application object. Its notify() is the one place where an error
// that escapes an event handler is caught: it shows the general error
// report and the application goes on with the next event.
class Application : public QApplication {
  Q_OBJECT
 public:
  Application(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // The boxes every window of the process uses.
  [[nodiscard]] MessageBoxes& messageBoxes();
  // Shows an error's text the way the general error report does.
  void reportError(const std::string& message);
};

}  // namespace quorrel::linux_desktop
