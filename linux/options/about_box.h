#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace quorrel {

// The About box: the version and Quorrel's disclaimer. Created once,
// hidden, and shown modally as often as the user asks.
class Tfrmdisc : public QDialog {
  Q_OBJECT
 public:
  explicit Tfrmdisc(QWidget* owner = nullptr);

  void Button1Click();

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QGroupBox* GroupBox2;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* Button1;
};

}  // namespace quorrel
