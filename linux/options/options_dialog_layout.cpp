#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "linux/options/dialog_look.h"
#include "linux/options/options_dialog.h"
#include "options/dialog_texts.h"

// The options dialog's controls, each at its place and size, with its
// caption, tooltip, font and colour.

namespace quorrel::linux_desktop {

namespace {

// Every list entry is 14 pixels high, as the list was drawn.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), 14};
  }
};

QGroupBox* makeGroup(QWidget* parent, const char* caption, int left, int top, int width, int height) {
  auto* group = new QGroupBox(QString::fromLatin1(caption), parent);
  group->setFont(ArialFont(true));
  Place(group, left, top, width, height);
  return group;
}

QPushButton* makeButton(QWidget* parent, const char* caption, const char* tooltip, int left, int top, int width,
                        int height) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setFont(ArialFont());
  if (tooltip != nullptr) button->setToolTip(QString::fromLatin1(tooltip));
  Place(button, left, top, width, height);
  return button;
}

QRadioButton* makeRadio(QWidget* parent, const char* caption, int left, int top, int width) {
  auto* radio = new QRadioButton(QString::fromLatin1(caption), parent);
  radio->setFont(ArialFont());
  SetTextColour(radio, kNavy);
  Place(radio, left, top, width, 17);
  return radio;
}

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, bool navy) {
  auto* label = new QLabel(text, parent);
  label->setFont(ArialFont());
  if (navy) SetTextColour(label, kNavy);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLabel* makeFixedLabel(QWidget* parent, int left, int top, int width, int height) {
  auto* label = new QLabel(parent);
  label->setFont(ArialFont());
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(label, left, top, width, height);
  return label;
}

QScrollBar* makeSizeBar(QWidget* parent, int left, int top) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setMinimum(OptionsState::kMinimumVideoSide);
  bar->setValue(OptionsState::kMinimumVideoSide);
  bar->setSingleStep(1);
  bar->setPageStep(1);
  Place(bar, left, top, 74, 13);
  return bar;
}

}  // namespace

void OptionsDialog::buildControls() {
  introLabel = new QLabel(QString::fromLatin1(kOptionsIntroText), this);
  introLabel->setFont(ArialFont());
  introLabel->setWordWrap(true);
  introLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(introLabel, 5, 5, 631, 28);

  videoListBox = new QListWidget(this);
  videoListBox->setFont(ArialFont(true));
  videoListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  videoListBox->setUniformItemSizes(true);
  videoListBox->setItemDelegate(new FixedRowDelegate(videoListBox));
  QPalette listPalette = videoListBox->palette();
  listPalette.setColor(QPalette::Base, kListBackground);
  videoListBox->setPalette(listPalette);
  Place(videoListBox, 1, 37, 640, 100);

  videoFilesGroup = makeGroup(this, "Add or Remove Video Files", 1, 140, 640, 64);
  addVideoButton = makeButton(videoFilesGroup, "Add Video", "Add a video to your list", 6, 18, 106, 21);
  addFolderButton =
      makeButton(videoFilesGroup, "Add Entire Folder", "Add an entire folder of videos at once", 115, 18, 106, 21);
  clearListButton = makeButton(videoFilesGroup, "Clear Entire List", "Empty your list of videos", 225, 18, 106, 21);
  removeVideoButton =
      makeButton(videoFilesGroup, "Remove Video", "Remove the highlighted video from your list", 335, 18, 106, 21);
  videoSoundButton = makeButton(videoFilesGroup, "Video Sound", "Turn mute on/off by video", 445, 18, 106, 20);
  previewButton = makeButton(videoFilesGroup, "Preview", "Preview the highlighted video", 560, 15, 75, 24);
  videoCountLabel = makeFixedLabel(videoFilesGroup, 14, 46, 209, 13);
  videoNameLabel = makeFixedLabel(videoFilesGroup, 246, 46, 385, 13);

  sizeGroup = makeGroup(this, "Video Display Options", 2, 210, 350, 202);
  naturalSizeButton = makeRadio(sizeGroup, "Default Video Size (Clearest)", 10, 16, 193);
  fullScreenSizeButton = makeRadio(sizeGroup, "Large (Full Screen)", 204, 16, 127);
  mediumSizeButton = makeRadio(sizeGroup, "Medium", 204, 33, 113);
  smallSizeButton = makeRadio(sizeGroup, "Small", 204, 49, 115);
  customSizeButton = makeRadio(sizeGroup, "Customize Video Window Below", 10, 83, 227);
  customSizeGroup = makeGroup(sizeGroup, "Customize Video Display", 10, 109, 335, 87);
  widthCaption = makeLabel(customSizeGroup, QStringLiteral("Video Width"), 10, 24, true);
  heightCaption = makeLabel(customSizeGroup, QStringLiteral("Video Height"), 108, 24, true);
  widthBar = makeSizeBar(customSizeGroup, 10, 43);
  heightBar = makeSizeBar(customSizeGroup, 108, 43);
  widthLabel = makeLabel(customSizeGroup, QString(), 10, 65, true);
  heightLabel = makeLabel(customSizeGroup, QString(), 106, 65, true);

  orderGroup = makeGroup(this, "Video Plays:", 379, 210, 261, 44);
  inSequenceButton = makeRadio(orderGroup, "In Sequence", 26, 19, 89);
  randomButton = makeRadio(orderGroup, "Random", 144, 19, 78);

  soundFileGroup = makeGroup(this, "Wav or Midi Sound?", 379, 258, 261, 77);
  soundFileBox = new QLineEdit(soundFileGroup);
  soundFileBox->setFont(ArialFont());
  soundFileBox->setEnabled(false);
  Place(soundFileBox, 3, 15, 253, 22);
  chooseSoundButton = makeButton(soundFileGroup, "Add a Sound File ", nullptr, 21, 47, 102, 19);
  SetTextColour(chooseSoundButton, kNavy);
  soundOnButton = makeRadio(soundFileGroup, "Sound ON", 142, 40, 113);
  soundOffButton = makeRadio(soundFileGroup, "Sound OFF", 142, 57, 113);

  repeatGroup = makeGroup(this, "Repeat Sound ", 379, 340, 123, 72);
  repeatOnButton = makeRadio(repeatGroup, "Repeat On", 18, 22, 84);
  repeatOffButton = makeRadio(repeatGroup, "Repeat Off", 18, 45, 82);

  supportButton = makeButton(this, "Support", nullptr, 537, 379, 102, 21);
  moreSoftwareButton = makeButton(this, "More Software", "More software downloads", 537, 404, 102, 21);
  aboutButton = makeButton(this, "About", "Version Information", 537, 430, 102, 21);
  okButton = makeButton(this, "OK", "Exit the software", 537, 455, 102, 21);
  okButton->setIcon(GlyphIcon(Glyph::Check));
  okButton->setDefault(true);
  videoListBox->setFocus();
}

}  // namespace quorrel::linux_desktop
