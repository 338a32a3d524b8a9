#pragma once

#include <QDialog>

#include "options/options_model.h"

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quorrel {

// "Video Sound": what the show does to the system's mute switch when it
// starts and when it ends. Each of the two groups may have no choice; the
// options dialog loads and saves the choices.
class TFrmSound : public QDialog {
  Q_OBJECT
 public:
  explicit TFrmSound(QWidget* owner);

  void setChoices(MuteChoice start, MuteChoice end);
  [[nodiscard]] MuteChoice startChoice() const;
  [[nodiscard]] MuteChoice endChoice() const;

  void Button1Click();
  void BitBtn3Click();

  QLabel* Label2;
  QFrame* Panel1;
  QRadioButton* Radstoff;
  QRadioButton* Radston;
  QFrame* Panel2;
  QRadioButton* Radenoff;
  QRadioButton* Radenon;
  QPushButton* Button1;
  QPushButton* BitBtn3;
};

// Unchecks radio buttons of one exclusive group, which Qt only allows with
// the exclusivity lifted for the moment.
void ClearRadioGroup(std::initializer_list<QRadioButton*> buttons);

}  // namespace quorrel
