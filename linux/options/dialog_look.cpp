#include "linux/options/dialog_look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quorrel::linux_desktop {

QFont DialogFont(const FontFace& face) {
  QFont font(QString::fromLatin1(face.family));
  font.setPixelSize(FontPixelHeight(face, kLayoutDpi));
  font.setBold(face.bold);
  return font;
}

void ApplyDialogLook(QWidget* window, const QFont& font) {
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, kDialogBackground);
  palette.setColor(QPalette::Button, kDialogBackground);
  window->setPalette(palette);
  window->setAutoFillBackground(true);
  window->setFont(font);
  // Group boxes as these dialogs were drawn: the caption sits on the frame's
  // top line instead of above the frame, so the controls' places inside a
  // box keep their distance from its caption.
  window->setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid rgb(160, 160, 160); margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; top: -1px;"
      " padding: 0px 2px; background-color: rgb(232, 231, 230); }"));
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  // Only the enabled states: a disabled control keeps the greyed text.
  QPalette palette = widget->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, colour);
    palette.setColor(group, QPalette::ButtonText, colour);
    palette.setColor(group, QPalette::Text, colour);
  }
  widget->setPalette(palette);
}

void CentreOnScreen(QWidget* window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The work area: not under the desktop's panels. A layout scaled up for
  // a small monitor can be larger than it (the options dialog, 642 x 477,
  // is 1284 pixels wide at 200 %); the window then keeps to the area
  // rather than reach past the monitor's edges, which on that monitor
  // costs only the right margin's last pixels.
  const QRect area = screen->availableGeometry();
  if (window->width() > area.width() || window->height() > area.height()) {
    const QSize fitting = window->size().boundedTo(area.size());
    if (window->minimumSize() == window->maximumSize()) {
      window->setFixedSize(fitting);
    } else {
      window->resize(fitting);
    }
  }
  window->move(area.left() + std::max(0, (area.width() - window->width()) / 2),
               area.top() + std::max(0, (area.height() - window->height()) / 2));
}

QIcon PictureIcon(ButtonPicture picture) {
  QPixmap pixmap(kButtonPictureSize, kButtonPictureSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  switch (picture) {
    case ButtonPicture::Play: {
      QPainterPath triangle;
      triangle.moveTo(4, 2);
      triangle.lineTo(13, 8);
      triangle.lineTo(4, 14);
      triangle.closeSubpath();
      painter.drawPath(triangle);
      break;
    }
    case ButtonPicture::Pause:
      painter.drawRect(4, 3, 3, 10);
      painter.drawRect(9, 3, 3, 10);
      break;
    case ButtonPicture::Stop:
      painter.drawRect(4, 4, 8, 8);
      break;
    case ButtonPicture::Check: {
      QPen pen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
      break;
    }
    case ButtonPicture::None:
      break;
  }
  painter.end();
  return QIcon(pixmap);
}

}  // namespace quorrel::linux_desktop
