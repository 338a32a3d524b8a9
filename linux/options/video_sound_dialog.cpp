#include "linux/options/video_sound_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "linux/options/dialog_look.h"
#include "options/dialog_texts.h"
#include "options/options_controller.h"

namespace quorrel::linux_desktop {

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

}  // namespace

void ClearRadioGroup(const std::vector<QRadioButton*>& buttons) {
  for (auto* button : buttons) {
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
  }
}

VideoSoundDialog::VideoSoundDialog(QWidget* owner, OptionsController& controller)
    : QDialog(owner), controller_(controller) {
  setWindowTitle(QStringLiteral("Video Sound"));
  ApplyDialogLook(this, DialogFont("MS Sans Serif", 8));
  // The window measures 344 x 243 with its frame; this is its inside.
  resize(336, 216);
  CentreOnScreen(this);

  introLabel = new QLabel(QString::fromLatin1(kVideoSoundIntroText), this);
  introLabel->setFont(ArialFont());
  introLabel->setWordWrap(true);
  introLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(introLabel, 9, 5, 319, 47);

  startPanel = makePanel(this, 64);
  muteAtStartButton = makeRadio(startPanel, "MUTE system when screensaver STARTS (No Sound)", 6, 299);
  unmuteAtStartButton = makeRadio(startPanel, "UN-MUTE system when screensaver STARTS (Sound On)", 24, 307);
  endPanel = makePanel(this, 116);
  muteAtEndButton = makeRadio(endPanel, "MUTE system when screensaver ENDS (No Sound)", 6, 279);
  unmuteAtEndButton = makeRadio(endPanel, "UN-MUTE system when screensaver ENDS (Sound On)", 24, 298);

  clearButton = new QPushButton(QStringLiteral("Clear Settings"), this);
  clearButton->setFont(ArialFont());
  clearButton->setToolTip(QStringLiteral("Clear the button settings. Ignore volume settings."));
  Place(clearButton, 6, 170, 75, 16);
  connect(clearButton, &QPushButton::clicked, this, [this] { clearChoices(); });

  returnButton = new QPushButton(GlyphIcon(Glyph::Check), QStringLiteral("Return"), this);
  returnButton->setFont(ArialFont());
  returnButton->setDefault(true);
  Place(returnButton, 251, 177, 75, 25);
  connect(returnButton, &QPushButton::clicked, this, [this] { returnToOptions(); });

  auto onChecked = [this](QRadioButton* button, auto choose) {
    connect(button, &QRadioButton::toggled, this, [this, choose](bool checked) {
      if (checked && !showing_) choose();
    });
  };
  onChecked(muteAtStartButton, [this] { controller_.chooseStartMute(MuteChoice::Mute); });
  onChecked(unmuteAtStartButton, [this] { controller_.chooseStartMute(MuteChoice::Unmute); });
  onChecked(muteAtEndButton, [this] { controller_.chooseEndMute(MuteChoice::Mute); });
  onChecked(unmuteAtEndButton, [this] { controller_.chooseEndMute(MuteChoice::Unmute); });
}

void VideoSoundDialog::showChoices(MuteChoice start, MuteChoice end) {
  showing_ = true;
  ClearRadioGroup({muteAtStartButton, unmuteAtStartButton, muteAtEndButton, unmuteAtEndButton});
  if (start == MuteChoice::Mute) muteAtStartButton->setChecked(true);
  if (start == MuteChoice::Unmute) unmuteAtStartButton->setChecked(true);
  if (end == MuteChoice::Mute) muteAtEndButton->setChecked(true);
  if (end == MuteChoice::Unmute) unmuteAtEndButton->setChecked(true);
  showing_ = false;
}

void VideoSoundDialog::clearChoices() { controller_.clearMuteChoices(); }

void VideoSoundDialog::returnToOptions() { close(); }

}  // namespace quorrel::linux_desktop
