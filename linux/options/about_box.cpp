#include "linux/options/about_box.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "linux/options/dialog_look.h"
#include "options/dialog_texts.h"

namespace quorrel {

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

Tfrmdisc::Tfrmdisc(QWidget* owner) : QDialog(owner) {
  // A fixed frame without any title-bar button: "Return" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QStringLiteral("Quorrel Displayer"));
  ApplyDialogLook(this, DialogFont("MS Sans Serif", 8));
  setFixedSize(514, 336);
  CentreOnScreen(this);

  GroupBox1 = new QGroupBox(this);
  Place(GroupBox1, 13, 16, 489, 265);

  Label1 = new QLabel(QStringLiteral("Version 3.26"), GroupBox1);
  Label1->setFont(DialogFont("Arial", 9));
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(Label1, 22, 22, 203, 43);

  GroupBox2 = new QGroupBox(QStringLiteral("Disclaimer"), GroupBox1);
  GroupBox2->setFont(DialogFont("Terminal", 9));
  Place(GroupBox2, 20, 80, 437, 169);
  Label2 = disclaimerLabel(GroupBox2, kDisclaimer1, 16, 405, 65);
  Label3 = disclaimerLabel(GroupBox2, kDisclaimer2, 58, 413, 49);
  Label4 = disclaimerLabel(GroupBox2, kDisclaimer3, 110, 405, 49);

  Button1 = new QPushButton(QStringLiteral("Return"), this);
  Button1->setFont(ArialFont());
  Button1->setDefault(true);
  Place(Button1, 428, 300, 75, 25);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Tfrmdisc::Button1Click() { close(); }

}  // namespace quorrel
