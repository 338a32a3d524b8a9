#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "linux/options/dialog_look.h"
#include "options/dialog_texts.h"
#include "linux/options/options_dialog.h"

// The options dialog's controls, each at its place and size, with its
// caption, tooltip, font and colour.

namespace quorrel {

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

void TForm2::buildControls() {
  Label3 = new QLabel(QString::fromLatin1(kOptionsIntroText), this);
  Label3->setFont(ArialFont());
  Label3->setWordWrap(true);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Place(Label3, 5, 5, 631, 28);

  ListBox1 = new QListWidget(this);
  ListBox1->setFont(ArialFont(true));
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setItemDelegate(new FixedRowDelegate(ListBox1));
  QPalette listPalette = ListBox1->palette();
  listPalette.setColor(QPalette::Base, kListBackground);
  ListBox1->setPalette(listPalette);
  Place(ListBox1, 1, 37, 640, 100);

  GroupBox2 = makeGroup(this, "Add or Remove Video Files", 1, 140, 640, 64);
  Button2 = makeButton(GroupBox2, "Add Video", "Add a video to your list", 6, 18, 106, 21);
  CmdAddEntire = makeButton(GroupBox2, "Add Entire Folder", "Add an entire folder of videos at once", 115, 18, 106, 21);
  CmdClearList = makeButton(GroupBox2, "Clear Entire List", "Empty your list of videos", 225, 18, 106, 21);
  Button3 = makeButton(GroupBox2, "Remove Video", "Remove the highlighted video from your list", 335, 18, 106, 21);
  CmdSound = makeButton(GroupBox2, "Video Sound", "Turn mute on/off by video", 445, 18, 106, 20);
  CmdPreview = makeButton(GroupBox2, "Preview", "Preview the highlighted video", 560, 15, 75, 24);
  Lblcount = makeFixedLabel(GroupBox2, 14, 46, 209, 13);
  LblVidName = makeFixedLabel(GroupBox2, 246, 46, 385, 13);

  GroupBox6 = makeGroup(this, "Video Display Options", 2, 210, 350, 202);
  Radpicdef = makeRadio(GroupBox6, "Default Video Size (Clearest)", 10, 16, 193);
  radpicl = makeRadio(GroupBox6, "Large (Full Screen)", 204, 16, 127);
  radpicm = makeRadio(GroupBox6, "Medium", 204, 33, 113);
  radpics = makeRadio(GroupBox6, "Small", 204, 49, 115);
  Radpicc = makeRadio(GroupBox6, "Customize Video Window Below", 10, 83, 227);
  Groupcust = makeGroup(GroupBox6, "Customize Video Display", 10, 109, 335, 87);
  Label2 = makeLabel(Groupcust, QStringLiteral("Video Width"), 10, 24, true);
  Label1 = makeLabel(Groupcust, QStringLiteral("Video Height"), 108, 24, true);
  ScrollBar1 = makeSizeBar(Groupcust, 10, 43);
  ScrollBar2 = makeSizeBar(Groupcust, 108, 43);
  Lblwidth = makeLabel(Groupcust, QString(), 10, 65, true);
  Lblheight = makeLabel(Groupcust, QString(), 106, 65, true);

  GroupBox5 = makeGroup(this, "Video Plays:", 379, 210, 261, 44);
  RadioButton2 = makeRadio(GroupBox5, "In Sequence", 26, 19, 89);
  RadioButton1 = makeRadio(GroupBox5, "Random", 144, 19, 78);

  GroupBox4 = makeGroup(this, "Wav or Midi Sound?", 379, 258, 261, 77);
  edwav = new QLineEdit(GroupBox4);
  edwav->setFont(ArialFont());
  edwav->setEnabled(false);
  Place(edwav, 3, 15, 253, 22);
  cmdwav = makeButton(GroupBox4, "Add a Sound File ", nullptr, 21, 47, 102, 19);
  SetTextColour(cmdwav, kNavy);
  radsndon = makeRadio(GroupBox4, "Sound ON", 142, 40, 113);
  radsndof = makeRadio(GroupBox4, "Sound OFF", 142, 57, 113);

  GroupBox3 = makeGroup(this, "Repeat Sound ", 379, 340, 123, 72);
  radrepon = makeRadio(GroupBox3, "Repeat On", 18, 22, 84);
  radrepoff = makeRadio(GroupBox3, "Repeat Off", 18, 45, 82);

  BitBtn1 = makeButton(this, "Support", nullptr, 537, 379, 102, 21);
  button4 = makeButton(this, "More Software", "More software downloads", 537, 404, 102, 21);
  cmdhelp = makeButton(this, "About", "Version Information", 537, 430, 102, 21);
  Cmdexit = makeButton(this, "OK", "Exit the software", 537, 455, 102, 21);
  Cmdexit->setIcon(GlyphIcon(Glyph::Check));
  Cmdexit->setDefault(true);
  ListBox1->setFocus();
}

}  // namespace quorrel
