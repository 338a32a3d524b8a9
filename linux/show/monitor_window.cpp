#include "linux/show/monitor_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "media/media_player.h"

namespace quorrel::linux_desktop {

namespace {

void fillBlack(QWidget& widget) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, Qt::black);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

QScreen* screenNamed(const std::string& name) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->name().toStdString() == name) return screen;
  }
  return nullptr;
}

}  // namespace

MonitorWindow::MonitorWindow(const Monitor& monitor, MediaBackend& backend)
    : monitorName_(monitor.name),
      backend_(backend),
      window_(new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)) {
  window_->setWindowTitle(QStringLiteral("Quorrel"));
  fillBlack(*window_);
  cover(monitor.place);
}

MonitorWindow::~MonitorWindow() {
  // mpv draws into a child of the window and must stop before the window
  // is unmapped: an X error from its drawing window going away in
  // mid-frame would end the whole program.
  player_.reset();
  window_->hide();
  window_->deleteLater();
}

void MonitorWindow::cover(const Rect& monitor) {
  // Made native at the monitor's place before it is shown, so that the
  // window manager sees the full-screen state on the right monitor from
  // the first map.
  window_->setGeometry(monitor.left, monitor.top, monitor.width, monitor.height);
  window_->winId();
  if (QScreen* screen = screenNamed(monitorName_)) window_->windowHandle()->setScreen(screen);
  window_->showFullScreen();
}

void MonitorWindow::placePanel(const Rect& panel) {
  if (panel_ == nullptr) return;
  panel_->setGeometry(panel.left, panel.top, panel.width, panel.height);
  panel_->setVisible(!panel.empty());
}

MediaPlayer& MonitorWindow::videoPlayer() {
  if (!player_) {
    panel_ = new QWidget(window_);
    panel_->setAttribute(Qt::WA_NativeWindow);
    fillBlack(*panel_);
    panel_->setGeometry(0, 0, 1, 1);
    panel_->show();
    player_ = std::make_unique<MediaPlayer>(backend_, static_cast<NativeWindow>(panel_->winId()), true);
  }
  return *player_;
}

void MonitorWindow::closePlayer() {
  if (player_) player_->close();
}

}  // namespace quorrel::linux_desktop
