#include "linux/options/about_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "linux/options/dialog_look.h"
#include "options/dialog_texts.h"

namespace quorrel::linux_desktop {

namespace {

QLabel* disclaimerLabel(QWidget* parent, const char* text, int top, int width, int height) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setFont(DialogFont("Courier New", 8));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(label, 12, top, width, height);
  return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  // A fixed frame without any title-bar button: "Return" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QStringLiteral("Quorrel Displayer"));
  ApplyDialogLook(this, DialogFont("MS Sans Serif", 8));
  setFixedSize(514, 336);
  CentreOnScreen(this);

  frame = new QGroupBox(this);
  Place(frame, 13, 16, 489, 265);

  versionLabel = new QLabel(QStringLiteral("Version 3.26"), frame);
  versionLabel->setFont(DialogFont("Arial", 9));
  versionLabel->setWordWrap(true);
  versionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(versionLabel, 22, 22, 203, 43);

  disclaimerGroup = new QGroupBox(QStringLiteral("Disclaimer"), frame);
  disclaimerGroup->setFont(DialogFont("Terminal", 9));
  Place(disclaimerGroup, 20, 80, 437, 169);
  disclaimerStart = disclaimerLabel(disclaimerGroup, kDisclaimer1, 16, 405, 65);
  disclaimerMiddle = disclaimerLabel(disclaimerGroup, kDisclaimer2, 58, 413, 49);
  disclaimerEnd = disclaimerLabel(disclaimerGroup, kDisclaimer3, 110, 405, 49);

  returnButton = new QPushButton(QStringLiteral("Return"), this);
  returnButton->setFont(ArialFont());
  returnButton->setDefault(true);
  Place(returnButton, 428, 300, 75, 25);
  connect(returnButton, &QPushButton::clicked, this, [this] { returnToOptions(); });
}

void AboutBox::returnToOptions() { close(); }

}  // namespace quorrel::linux_desktop
