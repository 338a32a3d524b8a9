#include "linux/options/dialog_look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
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

namespace {

// Sizes the window's client area to fit `room`, keeping its fixed size
// fixed, and centres the window, with `frame` around it, in `area`.
void fitAndCentre(QWidget* window, const QRect& area, const QMargins& frame) {
  const QSize room = area.size().shrunkBy(frame);
  if (window->width() > room.width() || window->height() > room.height()) {
    const QSize fitting = window->size().boundedTo(room);
    if (window->minimumSize() == window->maximumSize()) {
      window->setFixedSize(fitting);
    } else {
      window->resize(fitting);
    }
  }
  const int outerWidth = window->width() + frame.left() + frame.right();
  const int outerHeight = window->height() + frame.top() + frame.bottom();
  // move() places the frame's corner once there is a frame.
  window->move(area.left() + std::max(0, (area.width() - outerWidth) / 2),
               area.top() + std::max(0, (area.height() - outerHeight) / 2));
}

// How often, and how long, a window just shown is looked at for the frame
// its window manager gives it.
constexpr int kFrameLookMilliseconds = 50;
constexpr int kFrameLooks = 60;

}  // namespace

void CentreOnScreen(QWidget* window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The work area: not under the desktop's panels. A layout scaled up for
  // a small monitor can be larger than it (the options dialog, 642 x 477,
  // is 1284 pixels wide at 200 %); the window then keeps to the area
  // rather than reach past the monitor's edges, which on that monitor
  // costs only the right margin's last pixels.
  const QRect area = screen->availableGeometry();
  fitAndCentre(window, area, {});
  // The window manager's title bar and borders are known only once the
  // window is on screen. A window that fills most of the area was centred
  // without them, and its frame reaches past the area's bottom (at 200 % on
  // a 1024-pixel-high monitor, OK stood 4 pixels above the screen's edge,
  // under a panel there); once the frame is known, the whole frame is
  // centred in the area instead, which keeps a margin under the window.
  auto* look = new QTimer(window);
  look->setInterval(kFrameLookMilliseconds);
  QObject::connect(look, &QTimer::timeout, window, [window, look, area, looks = 0]() mutable {
    if (!window->isVisible()) return;
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    if (outer == inner && ++looks < kFrameLooks) return;
    look->stop();
    look->deleteLater();
    if (outer == inner || area.contains(outer)) return;
    fitAndCentre(window, area,
                 QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                          outer.bottom() - inner.bottom()));
  });
  look->start();
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
