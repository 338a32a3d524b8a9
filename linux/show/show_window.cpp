#include "linux/show/show_window.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include "base/log.h"
#include "linux/base/application.h"
#include "linux/base/message_boxes.h"
#include "linux/base/ui_poster.h"
#include "linux/media/media_backend.h"
#include "linux/show/x11_host_window.h"
#include "media/media_player.h"
#include "show/show_window_identity.h"

namespace quorrel::linux_desktop {

namespace {

// Key presses and releases (Alt combinations included) and presses of the
// left, right and middle buttons; not movement, releases of buttons,
// double-clicks, the wheel or text input.
bool isShowInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return true;
    case QEvent::MouseButtonPress: {
      const Qt::MouseButton button = static_cast<const QMouseEvent*>(event)->button();
      return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
    }
    default:
      return false;
  }
}

void fillWith(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

xcb_connection_t* qtConnection() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

// The monitors Qt knows, the primary one first. A screen with no size is
// Qt's stand-in while no monitor is active; it is left out.
std::vector<QScreen*> activeScreens() {
  std::vector<QScreen*> screens;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr && !primary->geometry().isEmpty()) screens.push_back(primary);
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary && !screen->geometry().isEmpty()) screens.push_back(screen);
  }
  return screens;
}

constexpr Qt::WindowFlags kOwnWindow = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
// A hosted show is a child of the host's window; should that be the root
// window, no window manager may take it for a window of its own.
constexpr Qt::WindowFlags kHostedWindow = Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint;

}  // namespace

ShowWindow::ShowWindow(Application& app, const SettingsLocation& settings, MediaBackend& backend, SystemMute& mute,
                       MessageBoxes& boxes, const ShowPlacement& placement)
    : QWidget(nullptr, placement.hostWindow != 0 ? kHostedWindow : kOwnWindow),
      app_(app),
      placement_(placement),
      x11_(qtConnection()),
      messageLabel_(new QLabel(this)),
      videoPanel_(new QWidget(this)),
      pollTimer_(new QTimer(this)),
      soundPlayer_(std::make_unique<MediaPlayer>(backend, 0, false)),
      videoPlayer_(std::make_unique<MediaPlayer>(backend, createPanel(), true)),
      controller_(ShowServices{settings, *this, *soundPlayer_, *videoPlayer_, mute, clock_, password_, screenSaverFlag_,
                               boxes, placement.soundAndMute, placement.hostWindow != 0 ? nullptr : this}),
      powerWatch_(X11DisplayPower::Open(), [this](bool poweredDown) { controller_.displayPowerChanged(poweredDown); }) {
  // A hosted copy is not "a show on screen": the host may show it in a
  // settings preview while the user opens the options dialog.
  setWindowTitle(hosted() ? QStringLiteral("Quorrel") : QString::fromLatin1(kShowWindowTitle));
  if (hosted()) embedInHost();
  fillWith(*this, Qt::black);

  messageLabel_->setGeometry(kMessageLabelPlace.left, kMessageLabelPlace.top, kMessageLabelPlace.width,
                             kMessageLabelPlace.height);
  messageLabel_->setWordWrap(true);
  messageLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(kMessageFontPixels);
  messageLabel_->setFont(font);
  messageLabel_->hide();

  pollTimer_->setInterval(1000);
  pollTimer_->setTimerType(Qt::PreciseTimer);
  // Each tick runs from the event queue rather than inside the timer's own
  // call, because Qt does not fire a timer again while its handler is busy:
  // queued, a tick whose error box is open leaves the timer free, so ticks
  // go on behind the box. A tick queued just before the timer was stopped
  // is dropped.
  connect(
      pollTimer_, &QTimer::timeout, this,
      [this] {
        if (pollTimer_->isActive()) controller_.poll();
      },
      Qt::QueuedConnection);

  if (hosted()) {
    // The host owns input: nothing here ends the show, and the host's
    // window is watched only for its size and its end.
    qApp->installNativeEventFilter(this);
    return;
  }
  qApp->installEventFilter(this);
  SetMessageBoxHook([this](bool open) { messageBoxOpen(open); });
  SetMessageBoxOwner(this);
  // Monitors come and go while the show runs: switched on or off,
  // plugged in or out, or set to another resolution.
  auto follow = [this] {
    if (onScreen_ && !ended()) coverScreens();
  };
  auto watch = [this, follow](QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, follow, Qt::QueuedConnection);
  };
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  connect(qApp, &QGuiApplication::screenAdded, this, [watch, follow](QScreen* screen) {
    watch(screen);
    follow();
  });
  connect(qApp, &QGuiApplication::screenRemoved, this, follow, Qt::QueuedConnection);
  connect(qApp, &QGuiApplication::primaryScreenChanged, this, follow, Qt::QueuedConnection);
}

ShowWindow::~ShowWindow() {
  if (hosted()) {
    qApp->removeNativeEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
    SetMessageBoxHook({});
    SetMessageBoxOwner(nullptr);
  }
  pollTimer_->stop();
  // The players go before the panel they draw into.
  videoPlayer_.reset();
  soundPlayer_.reset();
  if (cursorHidden_) QApplication::restoreOverrideCursor();
  removeOtherWindows();
  // Their windows go now, not in an event loop that has ended.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (hostWindow_ && windowHandle() != nullptr) {
    // The host's window stands in as the parent of this window's own; it
    // would take this window down with it, before the widget is done.
    hide();
    windowHandle()->setParent(nullptr);
  }
}

void ShowWindow::start() {
  powerWatch_.start();
  controller_.start();
}

NativeWindow ShowWindow::createPanel() {
  // A native panel makes the show window native too, at the geometry it
  // has at that moment, so it must cover the screen already. Were its
  // geometry set later, showing the window would push the new geometry to
  // the native window, and Qt's xcb back end drops the full-screen state
  // whenever it does that: the window manager would get "full screen on",
  // "full screen off" and then the full-screen property before the first
  // map. XWayland's window manager under sway applies those in whatever
  // order it gets to them and, when busy, maps the show as a tiled window.
  // A hosted show takes the host window's size once it is embedded.
  if (!hosted()) setGeometry(showArea());
  videoPanel_->setAttribute(Qt::WA_NativeWindow);
  videoPanel_->setGeometry(kFirstPanelPlace.left, kFirstPanelPlace.top, kFirstPanelPlace.width,
                           kFirstPanelPlace.height);
  fillWith(*videoPanel_, Qt::black);
  return static_cast<NativeWindow>(videoPanel_->winId());
}

void ShowWindow::embedInHost() {
  hostWindow_.reset(QWindow::fromWinId(static_cast<WId>(placement_.hostWindow)));
  winId();
  windowHandle()->setParent(hostWindow_.get());
  if (const auto host = WindowOnRoot(x11_, static_cast<std::uint32_t>(placement_.hostWindow))) {
    setGeometry(0, 0, host->width, host->height);
  }
  if (!WatchStructure(x11_, static_cast<std::uint32_t>(placement_.hostWindow))) {
    LogError("the host's window is gone");
  }
  // Key and button events go to the host, which may want them, and not to
  // the show's own windows.
  SelectNoInput(x11_, static_cast<std::uint32_t>(winId()));
  SelectNoInput(x11_, static_cast<std::uint32_t>(videoPanel_->winId()));
}

QRect ShowWindow::showArea() const {
  if (hosted()) return rect();
  const std::vector<QScreen*> screens = activeScreens();
  if (!screens.empty()) return screens.front()->geometry();
  // No monitor is active (switched off or unplugged): Qt then offers only
  // a stand-in screen without a size, so the show covers the X screen
  // itself, which keeps its size, and stays mapped to take input.
  const std::uint32_t root = RootWindowOf(x11_, static_cast<std::uint32_t>(winId()));
  if (const auto screen = WindowOnRoot(x11_, root)) return QRect(0, 0, screen->width, screen->height);
  return QRect(0, 0, 640, 480);
}

void ShowWindow::showOnScreen() {
  onScreen_ = true;
  if (hosted()) {
    show();
    return;
  }
  coverScreens();
  raise();
  activateWindow();
  // A window manager may refuse the focus to a new window; the grab makes
  // every key reach the show whichever window would have had it.
  grabKeyboard();
}

void ShowWindow::coverScreens() {
  const std::vector<QScreen*> screens = activeScreens();
  if (!screens.empty()) windowHandle()->setScreen(screens.front());
  setGeometry(showArea());
  if (screens.empty()) {
    // Without a monitor there is no full-screen state to ask for.
    showNormal();
  } else {
    showFullScreen();
  }
  // Every other monitor gets a window of its own; input there ends the
  // show too, since the application-wide hook sees it.
  std::vector<Monitor> monitors;
  for (QScreen* screen : screens) {
    const QRect place = screen->geometry();
    monitors.push_back(Monitor{screen->name().toStdString(), Rect{place.x(), place.y(), place.width(), place.height()},
                               screen == screens.front()});
  }
  controller_.monitorsChanged(monitors);
  // The windows of monitors that appeared were mapped above this one; a
  // monitor that overlaps the primary (one that has taken the whole screen
  // when the primary was removed) must not hide the show.
  if (isVisible()) raise();
}

MonitorScreen& ShowWindow::openScreen(const Monitor& monitor) {
  if (!silentBackend_) silentBackend_ = CreatePlatformMediaBackend(QtUiPoster(), MediaAudio::Off);
  otherWindows_.push_back(std::make_unique<MonitorWindow>(monitor, *silentBackend_));
  return *otherWindows_.back();
}

void ShowWindow::closeScreen(MonitorScreen& screen) {
  std::erase_if(otherWindows_,
                [&screen](const std::unique_ptr<MonitorWindow>& window) { return window.get() == &screen; });
}

void ShowWindow::removeOtherWindows() { otherWindows_.clear(); }

bool ShowWindow::eventFilter(QObject* watched, QEvent* event) {
  // Input reaches the window system's window first and is then passed on
  // to widgets; looking at it there sees each key or click once.
  if (watched->isWindowType()) controller_.inputHook(isShowInput(event));
  return false;
}

bool ShowWindow::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
  if (eventType != "xcb_generic_event_t" || hostGone_) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  const auto host = static_cast<xcb_window_t>(placement_.hostWindow);
  switch (event->response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY: {
      const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      if (configure->window != host || QSize(configure->width, configure->height) == size()) break;
      resize(configure->width, configure->height);
      controller_.screenChanged();
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (destroyed->window != host) break;
      // There is nothing left to draw into, and nothing to tell anyone.
      // Hosts stop a saver with a signal and then take its window away,
      // often before the signal has been dealt with here: the show mode
      // runs the end steps once the event loop has stopped.
      hostGone_ = true;
      closePlayers();
      QCoreApplication::exit(0);
      break;
    }
    default:
      break;
  }
  return false;
}

std::int32_t ShowWindow::screenWidth() const { return showArea().width(); }

std::int32_t ShowWindow::screenHeight() const { return showArea().height(); }

void ShowWindow::setBackground(Colour colour) { fillWith(*this, QColor(colour.red, colour.green, colour.blue)); }

void ShowWindow::placePanel(const Rect& geometry) {
  videoPanel_->setGeometry(geometry.left, geometry.top, geometry.width, geometry.height);
}

void ShowWindow::setPanelVisible(bool visible) { videoPanel_->setVisible(visible); }

void ShowWindow::setMessageText(const std::string& text) { messageLabel_->setText(DisplayText(text)); }

void ShowWindow::setMessageVisible(bool visible) { messageLabel_->setVisible(visible); }

void ShowWindow::setCursorVisible(bool visible) {
  cursorWantedHidden_ = !visible;
  applyCursor();
}

void ShowWindow::applyCursor() {
  // One override cursor for the whole application, set or taken away, so
  // that repeated requests do not stack up. The host owns the cursor of a
  // hosted show.
  const bool hide = cursorWantedHidden_ && !boxOpen_ && !hosted();
  if (hide && !cursorHidden_) {
    QApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
  } else if (!hide && cursorHidden_) {
    QApplication::restoreOverrideCursor();
  }
  cursorHidden_ = hide;
}

void ShowWindow::messageBoxOpen(bool open) {
  // While a box is open it gets the keys and a visible pointer: with the
  // keyboard held by the show window, Return and Escape would never reach
  // it, and a blank pointer would leave only a blind click.
  boxOpen_ = open;
  if (open && onScreen_) {
    releaseKeyboard();
  } else if (!open && onScreen_ && !ended()) {
    grabKeyboard();
  }
  applyCursor();
}

void ShowWindow::setTimerEnabled(bool enabled) {
  if (enabled) {
    pollTimer_->start();
  } else {
    pollTimer_->stop();
  }
}

void ShowWindow::reportError(const std::string& message) {
  if (hosted() || endingBySignal_) {
    LogError(message);
    return;
  }
  app_.reportError(message);
}

void ShowWindow::endBySignal() {
  endingBySignal_ = true;
  if (ended()) {
    closeShow();
  } else {
    controller_.end();
  }
}

void ShowWindow::closePlayers() {
  videoPlayer_->close();
  soundPlayer_->close();
  for (const std::unique_ptr<MonitorWindow>& window : otherWindows_) window->closePlayer();
}

void ShowWindow::takeOffScreen() {
  // mpv draws into a child of this window and must stop before the window
  // is unmapped: an X error from its drawing window going away in mid-frame
  // would end the whole program. Closing a file is quick and bounded.
  closePlayers();
  if (hosted()) return;
  releaseKeyboard();
  for (const std::unique_ptr<MonitorWindow>& window : otherWindows_) window->hide();
  hide();
  cursorWantedHidden_ = false;
  applyCursor();
}

void ShowWindow::closeShow() {
  // The players go with the window, before Qt takes any of its native
  // windows down: a video surface must not lose its parent while the
  // player still draws into it.
  closePlayers();
  if (!hosted()) releaseKeyboard();
  removeOtherWindows();
  close();
  // Leaves every running event loop, a modal box's included.
  QCoreApplication::exit(0);
}

}  // namespace quorrel::linux_desktop
