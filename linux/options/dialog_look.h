#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>

#include "options/dialog_layout.h"

class QWidget;

namespace quorrel::linux_desktop {

// The look every dialog of the configuration mode shares.
inline const QColor kDialogBackground(232, 231, 230);
inline const QColor kListBackground(232, 232, 232);
inline const QColor kNavy(0, 0, 128);

// A font asked for by family name at a size in points as the dialogs were
// drawn at 96 dots per inch, so a size 8 font is 11 of Qt's pixels high
// whatever the screen's reported resolution (Qt scales its pixels with the
// screen); fontconfig picks the nearest face.
[[nodiscard]] QFont DialogFont(const FontFace& font);

// Background colour and default font of a dialog window.
void ApplyDialogLook(QWidget* window, const QFont& font);
// Text colour of a control (navy for the options dialog's radio buttons).
void SetTextColour(QWidget* widget, const QColor& colour);
// Puts a window in the middle of the primary screen's work area, made
// smaller where it would not fit.
void CentreOnScreen(QWidget* window);

// The 16 x 16 pictures of the preview's buttons, with the greyed state
// Qt derives for a disabled button, and the OK kind's check mark.
[[nodiscard]] QIcon PictureIcon(ButtonPicture picture);

}  // namespace quorrel::linux_desktop
