#include "linux/options/about_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "linux/options/dialog_builder.h"

namespace quorrel::linux_desktop {

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  // A fixed frame without any title-bar button: "Return" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  ApplyWindowLayout(*this, AboutBoxLayout());
  const LaidOutControls controls = BuildControls(*this, AboutBoxLayout());
  using enum ControlId;
  frame = controls.get<QGroupBox>(AboutFrame);
  versionLabel = controls.get<QLabel>(VersionLabel);
  disclaimerGroup = controls.get<QGroupBox>(DisclaimerGroup);
  disclaimerStart = controls.get<QLabel>(DisclaimerStart);
  disclaimerMiddle = controls.get<QLabel>(DisclaimerMiddle);
  disclaimerEnd = controls.get<QLabel>(DisclaimerEnd);
  returnButton = controls.get<QPushButton>(AboutReturnButton);
  connect(returnButton, &QPushButton::clicked, this, [this] { returnToOptions(); });
}

void AboutBox::returnToOptions() { close(); }

}  // namespace quorrel::linux_desktop
