#include "linux/options/video_sound_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "linux/options/dialog_look.h"
#include "options/dialog_texts.h"

namespace quorrel {

namespace {

QFrame* makePanel(QWidget* parent, int top) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(2);
  Place(panel, 5, top, 321, 47);
  return panel;
}

QRadioButton* makeRadio(QWidget* parent, const char* caption, int top, int width) {
  auto* radio = new QRadioButton(QString::fromLatin1(caption), parent);
  radio->setFont(ArialFont());
  Place(radio, 8, top, width, 17);
  return radio;
}

void selectChoice(QRadioButton* mute, QRadioButton* unmute, MuteChoice choice) {
  ClearRadioGroup({mute, unmute});
  if (choice == MuteChoice::Mute) mute->setChecked(true);
  if (choice == MuteChoice::Unmute) unmute->setChecked(true);
}

MuteChoice choiceOf(const QRadioButton* mute, const QRadioButton* unmute) {
  if (unmute->isChecked()) return MuteChoice::Unmute;
  if (mute->isChecked()) return MuteChoice::Mute;
  return MuteChoice::LeaveAlone;
}

}  // namespace

void ClearRadioGroup(std::initializer_list<QRadioButton*> buttons) {
  for (auto* button : buttons) {
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
  }
}

TFrmSound::TFrmSound(QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Video Sound"));
  ApplyDialogLook(this, DialogFont("MS Sans Serif", 8));
  // The window measures 344 x 243 with its frame; this is its inside.
  resize(336, 216);
  CentreOnScreen(this);

  Label2 = new QLabel(QString::fromLatin1(kVideoSoundIntroText), this);
  Label2->setFont(ArialFont());
  Label2->setWordWrap(true);
  Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(Label2, 9, 5, 319, 47);

  Panel1 = makePanel(this, 64);
  Radstoff = makeRadio(Panel1, "MUTE system when screensaver STARTS (No Sound)", 6, 299);
  Radston = makeRadio(Panel1, "UN-MUTE system when screensaver STARTS (Sound On)", 24, 307);
  Panel2 = makePanel(this, 116);
  Radenoff = makeRadio(Panel2, "MUTE system when screensaver ENDS (No Sound)", 6, 279);
  Radenon = makeRadio(Panel2, "UN-MUTE system when screensaver ENDS (Sound On)", 24, 298);

  Button1 = new QPushButton(QStringLiteral("Clear Settings"), this);
  Button1->setFont(ArialFont());
  Button1->setToolTip(QStringLiteral("Clear the button settings. Ignore volume settings."));
  Place(Button1, 6, 170, 75, 16);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

  BitBtn3 = new QPushButton(GlyphIcon(Glyph::Check), QStringLiteral("Return"), this);
  BitBtn3->setFont(ArialFont());
  BitBtn3->setDefault(true);
  Place(BitBtn3, 251, 177, 75, 25);
  connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
}

void TFrmSound::setChoices(MuteChoice start, MuteChoice end) {
  selectChoice(Radstoff, Radston, start);
  selectChoice(Radenoff, Radenon, end);
}

MuteChoice TFrmSound::startChoice() const { return choiceOf(Radstoff, Radston); }
MuteChoice TFrmSound::endChoice() const { return choiceOf(Radenoff, Radenon); }

void TFrmSound::Button1Click() { ClearRadioGroup({Radston, Radstoff, Radenon, Radenoff}); }

void TFrmSound::BitBtn3Click() { close(); }

}  // namespace quorrel
