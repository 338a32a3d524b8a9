#include "linux/options/preview_window.h"

#include <QLabel>
#include <QPushButton>

#include "linux/options/dialog_builder.h"
#include "linux/options/option_services.h"

namespace quorrel::linux_desktop {

PreviewWindow::PreviewWindow(QWidget* owner, MediaBackend& backend, MessageBoxes& boxes) : QDialog(owner) {
  // A sizeable window with the usual title-bar buttons; the flags are set
  // before the panel's native window exists, since changing them later
  // would make a new one.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  ApplyWindowLayout(*this, PreviewWindowLayout());
  const LaidOutControls controls = BuildControls(*this, PreviewWindowLayout());
  using enum ControlId;
  videoPanel = controls.get<QWidget>(PreviewPanel);
  playButton = controls.get<QPushButton>(PlayButton);
  pauseButton = controls.get<QPushButton>(PauseButton);
  stopButton = controls.get<QPushButton>(StopButton);
  returnButton = controls.get<QPushButton>(PreviewReturnButton);
  pathLabel = controls.get<QLabel>(PreviewPathLabel);

  player_ = std::make_unique<MediaPlayer>(backend, static_cast<NativeWindow>(videoPanel->winId()), true);
  controls_ = std::make_unique<PreviewControls>(*player_, boxes);

  connect(playButton, &QPushButton::clicked, this, [this] { play(); });
  connect(pauseButton, &QPushButton::clicked, this, [this] { pause(); });
  connect(stopButton, &QPushButton::clicked, this, [this] { stop(); });
  connect(returnButton, &QPushButton::clicked, this, [this] { returnToOptions(); });
  playButton->setFocus();
}

// The player goes before the panel it draws into.
PreviewWindow::~PreviewWindow() {
  controls_.reset();
  player_.reset();
}

void PreviewWindow::setVideoPath(const std::string& path) {
  videoPath_ = path;
  pathLabel->setText(PathText(path));
}

void PreviewWindow::play() { controls_->play(videoPath_); }
void PreviewWindow::pause() { controls_->pause(); }
void PreviewWindow::stop() { controls_->stop(); }

void PreviewWindow::returnToOptions() {
  controls_->returnToOptions();
  close();
}

void PreviewWindow::done(int result) {
  // However the window closes (Return, Escape, the title bar), the file is
  // closed before the window is unmapped: mpv loses its drawing window
  // when its ancestor is unmapped in mid-frame, and its X error would end
  // the whole program when the player is destroyed afterwards.
  player_->close();
  QDialog::done(result);
}

}  // namespace quorrel::linux_desktop
