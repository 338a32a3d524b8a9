#pragma once

#include <QDialog>

#include "options/options_model.h"

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quorrel::linux_desktop {

// "Video Sound": what the show does to the system's mute switch when it
// starts and when it ends. Each of the two groups may have no choice; the
// options dialog loads and saves the choices.
class VideoSoundDialog : public QDialog {
  Q_OBJECT
 public:
  explicit VideoSoundDialog(QWidget* owner);

  void setChoices(MuteChoice start, MuteChoice end);
  [[nodiscard]] MuteChoice startChoice() const;
  [[nodiscard]] MuteChoice endChoice() const;

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
};

// Unchecks radio buttons of one exclusive group, which Qt only allows with
// the exclusivity lifted for the moment.
void ClearRadioGroup(std::initializer_list<QRadioButton*> buttons);

}  // namespace quorrel::linux_desktop
