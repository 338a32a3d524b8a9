#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace quorrel::linux_desktop {

// The About box: the version and Quorrel's disclaimer. Created once,
// hidden, and shown modally as often as the user asks.
class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* owner = nullptr);

  void returnToOptions();

  QGroupBox* frame;
  QLabel* versionLabel;
  QGroupBox* disclaimerGroup;
  QLabel* disclaimerStart;
  QLabel* disclaimerMiddle;
  QLabel* disclaimerEnd;
  QPushButton* returnButton;
};

}  // namespace quorrel::linux_desktop
