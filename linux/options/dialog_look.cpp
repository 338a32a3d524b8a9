#include "linux/options/dialog_look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace quorrel::linux_desktop {

QFont DialogFont(const char* family, int points, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  font.setBold(bold);
  return font;
}

QFont ArialFont(bool bold) { return DialogFont("Arial", 8, bold); }

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
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    window->move(area.left() + (area.width() - window->width()) / 2,
                 area.top() + (area.height() - window->height()) / 2);
  }
}

void Place(QWidget* widget, int left, int top, int width, int height) { widget->setGeometry(left, top, width, height); }

QIcon GlyphIcon(Glyph glyph) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  switch (glyph) {
    case Glyph::Play: {
      QPainterPath triangle;
      triangle.moveTo(4, 2);
      triangle.lineTo(13, 8);
      triangle.lineTo(4, 14);
      triangle.closeSubpath();
      painter.drawPath(triangle);
      break;
    }
    case Glyph::Pause:
      painter.drawRect(4, 3, 3, 10);
      painter.drawRect(9, 3, 3, 10);
      break;
    case Glyph::Stop:
      painter.drawRect(4, 4, 8, 8);
      break;
    case Glyph::Check: {
      QPen pen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
      break;
    }
  }
  painter.end();
  return QIcon(pixmap);
}

}  // namespace quorrel::linux_desktop
