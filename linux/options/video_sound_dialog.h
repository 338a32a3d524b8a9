#pragma once

#include <QDialog>
#include <vector>

#include "options/options_model.h"

namespace quorrel {
class OptionsController;
}  // namespace quorrel

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quorrel::linux_desktop {

// "Video Sound": what the show does to the system's mute switch when it
// starts and when it ends. Each of the two groups may have no choice. The
// choices are the options controller's, which the options dialog loads and
// saves; this window shows them and forwards the user's clicks.
class VideoSoundDialog : public QDialog {
  Q_OBJECT
 public:
  VideoSoundDialog(QWidget* owner, OptionsController& controller);

  void showChoices(MuteChoice start, MuteChoice end);

  void clearChoices();
  void returnToOptions();

  QLabel* introLabel;
  QFrame* startPanel;
  QRadioButton* muteAtStartButton;
  QRadioButton* unmuteAtStartButton;
  QFrame* endPanel;
  QRadioButton* muteAtEndButton;
  QRadioButton* unmuteAtEndButton;
  QPushButton* clearButton;
  QPushButton* returnButton;

 private:
  OptionsController& controller_;
  // Set while the buttons are being set, so that they do not report back.
  bool showing_ = false;
};

// Unchecks radio buttons of one exclusive group, which Qt only allows with
// the exclusivity lifted for the moment.
void ClearRadioGroup(const std::vector<QRadioButton*>& buttons);

}  // namespace quorrel::linux_desktop
