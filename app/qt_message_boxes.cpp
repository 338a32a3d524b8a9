#include "app/qt_message_boxes.h"

#include <QMessageBox>

namespace quorrel {

namespace {
QMessageBox::Icon iconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning: return QMessageBox::Warning;
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Information: return QMessageBox::Information;
    case MessageKind::Confirm: return QMessageBox::Question;
    case MessageKind::Plain: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

void QtMessageBoxes::showMessage(MessageKind kind, const std::string& text) {
  QMessageBox box(iconOf(kind), DisplayText(MessageCaption(kind)), DisplayText(text), QMessageBox::Ok);
  KeepAboveOtherWindows(box);
  box.exec();
}

void KeepAboveOtherWindows(QMessageBox& box) {
  // The show window stays on top of everything; a box that did not would
  // open behind it where the user could never see it.
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

QString DisplayText(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace quorrel
