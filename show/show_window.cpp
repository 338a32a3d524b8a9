#include "show/show_window.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include "app/qt_message_boxes.h"
#include "app/quorrel_application.h"
#include "app/x11_display.h"
#include "media/media_player.h"

namespace quorrel {

namespace {

// Key presses and releases (Alt combinations included) and presses of the
// left, right and middle buttons; not movement, releases of buttons,
// double-clicks, the wheel or text input.
bool isShowInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return true;
    case QEvent::MouseButtonPress: {
      const Qt::MouseButton button = static_cast<const QMouseEvent*>(event)->button();
      return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
    }
    default: return false;
  }
}

void fillWith(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

QRect primaryScreenGeometry() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry() : QRect(0, 0, 0, 0);
}

}  // namespace

TForm1::TForm1(QuorrelApplication& app, const SettingsLocation& settings, MediaBackend& backend,
               SystemMute& mute)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      app_(app),
      lblinfo(new QLabel(this)),
      Panel1(new QWidget(this)),
      Timer1(new QTimer(this)),
      infoText_(kNoVideosText),
      MediaPlayer1(std::make_unique<TMediaPlayer>(backend, 0, false)),
      MediaPlayer2(std::make_unique<TMediaPlayer>(backend, createPanel(), true)),
      controller_(ShowServices{settings, *this, *MediaPlayer1, *MediaPlayer2, mute, clock_, password_, screenSaverFlag_,
                               app.messageBoxes()}) {
  setWindowTitle(QString::fromLatin1(kShowWindowTitle));
  setGeometry(primaryScreenGeometry());
  fillWith(*this, Qt::black);

  lblinfo->setGeometry(61, 47, 500, 106);
  lblinfo->setWordWrap(true);
  lblinfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  lblinfo->setFont(font);
  lblinfo->setText(DisplayText(infoText_));
  lblinfo->hide();

  Timer1->setInterval(1000);
  Timer1->setTimerType(Qt::PreciseTimer);
  // Each tick runs from the event queue rather than inside the timer's own
  // call, because Qt does not fire a timer again while its handler is busy:
  // queued, a tick whose error box is open leaves the timer free, so ticks
  // go on behind the box. A tick queued just before the timer was stopped
  // is dropped.
  connect(
      Timer1, &QTimer::timeout, this,
      [this] {
        if (Timer1->isActive()) controller_.Timer1Timer();
      },
      Qt::QueuedConnection);

  qApp->installEventFilter(this);
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
  Timer1->stop();
  // The players go before the panel they draw into.
  MediaPlayer2.reset();
  MediaPlayer1.reset();
  if (cursorHidden_) QApplication::restoreOverrideCursor();
}

NativeWindow TForm1::createPanel() {
  Panel1->setAttribute(Qt::WA_NativeWindow);
  Panel1->setGeometry(27, 256, 185, 147);
  fillWith(*Panel1, Qt::black);
  return static_cast<NativeWindow>(Panel1->winId());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // Input reaches the window system's window first and is then passed on
  // to widgets; looking at it there sees each key or click once.
  if (watched->isWindowType()) controller_.deactivate(isShowInput(event));
  return false;
}

std::int32_t TForm1::screenWidth() const { return primaryScreenGeometry().width(); }

std::int32_t TForm1::screenHeight() const { return primaryScreenGeometry().height(); }

void TForm1::setBackground(Colour colour) { fillWith(*this, QColor(colour.red, colour.green, colour.blue)); }

void TForm1::placePanel(const PanelGeometry& geometry) {
  Panel1->setGeometry(geometry.left, geometry.top, geometry.width, geometry.height);
}

PanelGeometry TForm1::panelPlace() const {
  const QRect place = Panel1->geometry();
  return {place.x(), place.y(), place.width(), place.height()};
}

void TForm1::setPanelVisible(bool visible) { Panel1->setVisible(visible); }

void TForm1::setInfoText(const std::string& text) {
  infoText_ = text;
  lblinfo->setText(DisplayText(text));
}

std::string TForm1::infoText() const { return infoText_; }

void TForm1::setInfoVisible(bool visible) { lblinfo->setVisible(visible); }

void TForm1::setCursorVisible(bool visible) {
  // One override cursor for the whole application, set or taken away, so
  // that repeated requests do not stack up.
  if (!visible && !cursorHidden_) {
    QApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    cursorHidden_ = true;
  } else if (visible && cursorHidden_) {
    QApplication::restoreOverrideCursor();
    cursorHidden_ = false;
  }
}

void TForm1::setTimerEnabled(bool enabled) {
  if (enabled) {
    Timer1->start();
  } else {
    Timer1->stop();
  }
}

void TForm1::reportError(const std::string& message) { app_.reportError(message); }

void TForm1::closePlayers() {
  MediaPlayer2->close();
  MediaPlayer1->close();
}

void TForm1::closeShow() {
  // The players go with the window, before Qt takes any of its native
  // windows down: a video surface must not lose its parent while the
  // player still draws into it.
  closePlayers();
  close();
  // Leaves every running event loop, a modal box's included.
  QCoreApplication::exit(0);
}

}  // namespace quorrel
