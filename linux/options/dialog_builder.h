#pragma once

#include <map>

#include "options/dialog_layout.h"

class QWidget;

namespace quorrel::linux_desktop {

// The controls of one window, made from its layout's rows, found by the
// rows' ids.
class LaidOutControls {
 public:
  // The control of `id` as the widget class its kind is made as (QLabel,
  // QListWidget, QGroupBox, QFrame, QPushButton, QRadioButton, QCheckBox, QScrollBar,
  // QLineEdit, or a plain QWidget for a video panel).
  template <typename Widget>
  [[nodiscard]] Widget* get(ControlId id) const {
    return static_cast<Widget*>(widgets_.at(id));
  }

 private:
  friend LaidOutControls BuildControls(QWidget& window, const WindowLayout& layout);
  std::map<ControlId, QWidget*> widgets_;
};

// Gives `window` the layout's title, default font, background and size, and
// puts it in the middle of the primary screen.
void ApplyWindowLayout(QWidget& window, const WindowLayout& layout);

// Makes every control of the layout inside `window`, each inside the group
// box it stands in, at its place and size in Qt's pixels, with its caption,
// tooltip, font and colour; Qt scales them with the screen. The rows' order
// is the controls' focus order.
LaidOutControls BuildControls(QWidget& window, const WindowLayout& layout);

}  // namespace quorrel::linux_desktop
