#include "linux/base/message_boxes.h"

#include <QMessageBox>
#include <QPointer>

namespace quorrel::linux_desktop {

namespace {
int& depth() {
  static int open = 0;
  return open;
}

std::function<void(bool)>& hook() {
  static std::function<void(bool)> function;
  return function;
}

QPointer<QWidget>& owner() {
  static QPointer<QWidget> window;
  return window;
}

QMessageBox::Icon iconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Error:
      return QMessageBox::Critical;
    case MessageKind::Information:
      return QMessageBox::Information;
    case MessageKind::Confirm:
      return QMessageBox::Question;
    case MessageKind::Plain:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

void ModalMessageBoxes::showMessage(MessageKind kind, const std::string& text) {
  QMessageBox box(iconOf(kind), DisplayText(MessageCaption(kind)), DisplayText(text), QMessageBox::Ok);
  ExecMessageBox(box);
}

void ExecMessageBox(QMessageBox& box) {
  // The show window stays on top of everything; a box that did not would
  // open behind it where the user could never see it.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  // Without an owner Qt centres a box on the monitor under the pointer.
  if (owner()) box.setParent(owner(), box.windowFlags());
  // Tells the hook about the outermost box only, however the box ends.
  class Opened {
   public:
    Opened() {
      if (depth()++ == 0 && hook()) hook()(true);
    }
    ~Opened() {
      if (--depth() == 0 && hook()) hook()(false);
    }
    Opened(const Opened&) = delete;
    Opened& operator=(const Opened&) = delete;
  } opened;
  box.exec();
}

void SetMessageBoxHook(std::function<void(bool open)> function) { hook() = std::move(function); }

void SetMessageBoxOwner(QWidget* window) { owner() = window; }

QString DisplayText(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace quorrel::linux_desktop
