#include "linux/options/preview_window.h"

#include <QLabel>
#include <QPushButton>

#include "linux/options/dialog_look.h"
#include "linux/options/option_services.h"

namespace quorrel {

namespace {

QPushButton* makeButton(QWidget* parent, Glyph glyph, const char* caption, int left, int top) {
  auto* button = new QPushButton(GlyphIcon(glyph), QString::fromLatin1(caption), parent);
  button->setFont(ArialFont());
  button->setIconSize(QSize(16, 16));
  Place(button, left, top, 75, 25);
  return button;
}

}  // namespace

TFrmviddis::TFrmviddis(QWidget* owner, MediaBackend& backend, MessageBoxes& boxes) : QDialog(owner) {
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
  Panel1 = new QWidget(this);
  Panel1->setAttribute(Qt::WA_NativeWindow);
  Panel1->setAutoFillBackground(true);
  QPalette panelPalette = Panel1->palette();
  panelPalette.setColor(QPalette::Window, kDialogBackground);
  Panel1->setPalette(panelPalette);
  Place(Panel1, 16, 8, 433, 297);

  cmdplay = makeButton(this, Glyph::Play, "Play", 456, 95);
  cmdpause = makeButton(this, Glyph::Pause, "Pause", 456, 135);
  cmdstop = makeButton(this, Glyph::Stop, "Stop", 456, 175);
  BitBtn4 = makeButton(this, Glyph::Check, "Return", 464, 359);
  BitBtn4->setDefault(true);
  setTabOrder(cmdplay, cmdstop);
  setTabOrder(cmdstop, cmdpause);
  setTabOrder(cmdpause, BitBtn4);

  Lblname = new QLabel(this);
  Lblname->setFont(ArialFont());
  Lblname->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Lblname->setTextFormat(Qt::PlainText);
  Place(Lblname, 5, 319, 529, 34);

  MediaPlayer1 = std::make_unique<TMediaPlayer>(backend, static_cast<NativeWindow>(Panel1->winId()), true);
  logic_ = std::make_unique<PreviewLogic>(*MediaPlayer1, boxes);

  connect(cmdplay, &QPushButton::clicked, this, [this] { cmdplayClick(); });
  connect(cmdpause, &QPushButton::clicked, this, [this] { cmdpauseClick(); });
  connect(cmdstop, &QPushButton::clicked, this, [this] { cmdstopClick(); });
  connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
  cmdplay->setFocus();
}

// The player goes before the panel it draws into.
TFrmviddis::~TFrmviddis() {
  logic_.reset();
  MediaPlayer1.reset();
}

void TFrmviddis::setVideoPath(const std::string& path) {
  videoPath_ = path;
  Lblname->setText(PathText(path));
}

void TFrmviddis::cmdplayClick() { logic_->cmdplayClick(videoPath_); }
void TFrmviddis::cmdpauseClick() { logic_->cmdpauseClick(); }
void TFrmviddis::cmdstopClick() { logic_->cmdstopClick(); }

void TFrmviddis::BitBtn4Click() {
  logic_->BitBtn4Click();
  close();
}

void TFrmviddis::done(int result) {
  // However the window closes (Return, Escape, the title bar), the file is
  // closed before the window is unmapped: mpv loses its drawing window
  // when its ancestor is unmapped in mid-frame, and its X error would end
  // the whole program when the player is destroyed afterwards.
  MediaPlayer1->close();
  QDialog::done(result);
}

}  // namespace quorrel
