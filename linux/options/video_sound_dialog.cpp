#include "linux/options/video_sound_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "linux/options/dialog_builder.h"
#include "options/options_controller.h"

namespace quorrel::linux_desktop {

void ClearRadioGroup(const std::vector<QRadioButton*>& buttons) {
  for (auto* button : buttons) {
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
  }
}

VideoSoundDialog::VideoSoundDialog(QWidget* owner, OptionsController& controller)
    : QDialog(owner), controller_(controller) {
  ApplyWindowLayout(*this, VideoSoundDialogLayout());
  const LaidOutControls controls = BuildControls(*this, VideoSoundDialogLayout());
  using enum ControlId;
  introLabel = controls.get<QLabel>(VideoSoundIntro);
  startPanel = controls.get<QFrame>(StartPanel);
  muteAtStartButton = controls.get<QRadioButton>(MuteAtStartButton);
  unmuteAtStartButton = controls.get<QRadioButton>(UnmuteAtStartButton);
  endPanel = controls.get<QFrame>(EndPanel);
  muteAtEndButton = controls.get<QRadioButton>(MuteAtEndButton);
  unmuteAtEndButton = controls.get<QRadioButton>(UnmuteAtEndButton);
  clearButton = controls.get<QPushButton>(ClearChoicesButton);
  returnButton = controls.get<QPushButton>(VideoSoundReturnButton);
  connect(clearButton, &QPushButton::clicked, this, [this] { clearChoices(); });
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
