#include "linux/options/preview_window.h"

#include <QLabel>
#include <QPushButton>

#include "linux/options/dialog_look.h"
#include "linux/options/option_services.h"

namespace quorrel::linux_desktop {

namespace {

QPushButton* makeButton(QWidget* parent, Glyph glyph, const char* caption, int left, int top) {
  auto* button = new QPushButton(GlyphIcon(glyph), QString::fromLatin1(caption), parent);
  button->setFont(ArialFont());
  button->setIconSize(QSize(16, 16));
  Place(button, left, top, 75, 25);
  return button;
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* owner, MediaBackend& backend, MessageBoxes& boxes) : QDialog(owner) {
  // A sizeable window with the usual title-bar buttons; the flags are set
  // before the panel's native window exists, since changing them later
  // would make a new one.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Preview Video"));
  ApplyDialogLook(this, DialogFont("MS Sans Serif", 8));
  // The window measures 561 x 431 with its frame; this is its inside.
  resize(553, 404);
  CentreOnScreen(this);

  // The player draws into this panel through its own X11 window.
  videoPanel = new QWidget(this);
  videoPanel->setAttribute(Qt::WA_NativeWindow);
  videoPanel->setAutoFillBackground(true);
  QPalette panelPalette = videoPanel->palette();
  panelPalette.setColor(QPalette::Window, kDialogBackground);
  videoPanel->setPalette(panelPalette);
  Place(videoPanel, 16, 8, 433, 297);

  playButton = makeButton(this, Glyph::Play, "Play", 456, 95);
  pauseButton = makeButton(this, Glyph::Pause, "Pause", 456, 135);
  stopButton = makeButton(this, Glyph::Stop, "Stop", 456, 175);
  returnButton = makeButton(this, Glyph::Check, "Return", 464, 359);
  returnButton->setDefault(true);
  setTabOrder(playButton, stopButton);
  setTabOrder(stopButton, pauseButton);
  setTabOrder(pauseButton, returnButton);

  pathLabel = new QLabel(this);
  pathLabel->setFont(ArialFont());
  pathLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  pathLabel->setTextFormat(Qt::PlainText);
  Place(pathLabel, 5, 319, 529, 34);

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
