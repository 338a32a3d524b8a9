#include "config/form2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <filesystem>
#include <system_error>

#include "app/qt_message_boxes.h"
#include "config/dialog_look.h"
#include "config/frm_disc.h"
#include "config/frm_sound.h"
#include "config/frm_viddis.h"
#include "config/options_actions.h"
#include "config/qt_config_services.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"

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

void setRadio(QRadioButton* radio, bool checked) {
  if (checked) radio->setChecked(true);
}

void setNumberLabel(QLabel* label, std::int32_t number) {
  label->setText(QString::number(number));
  label->adjustSize();
}

}  // namespace

TForm2::TForm2(ConfigServices services) : services_(std::move(services)), list_(SettingsFileName(), *services_.boxes) {
  if (services_.chooser == nullptr) {
    ownChooser_ = std::make_unique<QtFileChooser>(this);
    services_.chooser = ownChooser_.get();
  }
  if (services_.opener == nullptr) {
    ownOpener_ = std::make_unique<QtDesktopOpener>();
    services_.opener = ownOpener_.get();
  }
  if (services_.progress == nullptr) {
    ownProgress_ = std::make_unique<QtTaskProgress>(this);
    services_.progress = ownProgress_.get();
  }
  if (services_.executableFolder.empty()) services_.executableFolder = PathBytes(QCoreApplication::applicationDirPath());

  // A fixed frame without title-bar buttons: "OK" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QStringLiteral("Quorrel Options"));
  ApplyDialogLook(this, DialogFont("MS Sans Serif", 8, true));
  setFixedSize(642, 477);
  CentreOnScreen(this);
  buildControls();
  connectHandlers();
  list_.setView(this);
  FormCreate();
}

TForm2::~TForm2() { list_.setView(nullptr); }

void TForm2::buildControls() {
  Label3 = new QLabel(
      QStringLiteral("Click the \"Add\" button to add any video files to your screensaver. Note that you can "
                     "double-click any video in your list to automatically open it, or click the \"Preview\" "
                     "button to open a viewer. You can also play videos full-screen."),
      this);
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

void TForm2::connectHandlers() {
  // The size labels follow every move of their bars, the user's arrows,
  // page clicks and drags alike, but not the bars' placing at load.
  connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Scroll(); });
  connect(ScrollBar2, &QScrollBar::valueChanged, this, [this] { ScrollBar2Scroll(); });
  connect(ScrollBar1, &QScrollBar::actionTriggered, this, [this] { ScrollBar1Scroll(); });
  connect(ScrollBar2, &QScrollBar::actionTriggered, this, [this] { ScrollBar2Scroll(); });
  connect(cmdwav, &QPushButton::clicked, this, [this] { cmdwavClick(); });
  connect(Cmdexit, &QPushButton::clicked, this, [this] { CmdexitClick(); });
  connect(cmdhelp, &QPushButton::clicked, this, [this] { cmdhelpClick(); });
  connect(CmdSound, &QPushButton::clicked, this, [this] { CmdSoundClick(); });
  connect(button4, &QPushButton::clicked, this, [this] { button4Click(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(CmdAddEntire, &QPushButton::clicked, this, [this] { CmdAddEntireClick(); });
  connect(CmdClearList, &QPushButton::clicked, this, [this] { CmdClearListClick(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(CmdPreview, &QPushButton::clicked, this, [this] { CmdPreviewClick(); });
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
}

std::string TForm2::settingsPath() const { return SettingsFileName(); }

TFrmSound* TForm2::soundDialog() const { return frmSound_; }

void TForm2::setAboutBox(Tfrmdisc* box) { aboutBox_ = box; }

void TForm2::FormCreate() {
  SetupDataFolder(*services_.boxes);
  list_.setSettingsPath(settingsPath());
  frmSound_ = new TFrmSound(this);
  list_.ResetSlots();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    ScrollBar1->setMaximum(screen->geometry().width());
    ScrollBar2->setMaximum(screen->geometry().height());
  }
  std::error_code error;
  if (std::filesystem::exists(settingsPath(), error)) LoadOptions();
  ListBox1->setUpdatesEnabled(false);
  list_.FillFromSlots();
  ListBox1->setUpdatesEnabled(true);
  list_.UpdateVideoLabels();
  const std::string& sound = list_.videoSlots()[0];
  if (sound == kEmptySlot || sound.empty()) {
    radsndon->setEnabled(false);
    radsndof->setEnabled(false);
  }
  services_.chooser->setVideoStartFolder(list_.LoadLastDir());
}

void TForm2::LoadOptions() {
  const OptionsState state = quorrel::LoadOptions(SettingsFile(settingsPath()), list_.videoSlots());
  applyOptions(state);
  if (frmSound_) frmSound_->setChoices(state.startOn, state.endOn);
}

void TForm2::applyOptions(const OptionsState& state) {
  setRadio(radsndon, state.sound == SoundChoice::On);
  setRadio(radsndof, state.sound == SoundChoice::Off);
  setRadio(radrepon, state.repeat == SoundChoice::On);
  setRadio(radrepoff, state.repeat == SoundChoice::Off);
  setRadio(Radpicc, state.size == VideoSize::Custom);
  setRadio(radpics, state.size == VideoSize::Small);
  setRadio(radpicm, state.size == VideoSize::Medium);
  setRadio(radpicl, state.size == VideoSize::Large);
  setRadio(Radpicdef, state.size == VideoSize::Default);
  setRadio(RadioButton1, state.order == PlayOrder::Random);
  setRadio(RadioButton2, state.order == PlayOrder::Sequence);
  setNumberLabel(Lblheight, state.height);
  setNumberLabel(Lblwidth, state.width);
  // The bars stop at the screen's size; a larger stored number stays in
  // its label, and so in the file at the next save.
  const QSignalBlocker widthBlocker(ScrollBar1);
  const QSignalBlocker heightBlocker(ScrollBar2);
  ScrollBar1->setValue(state.width);
  ScrollBar2->setValue(state.height);
  soundFileBytes_ = state.soundFile;
  edwav->setText(PathText(state.soundFile));
}

OptionsState TForm2::currentOptions() const {
  OptionsState state;
  if (frmSound_) {
    state.startOn = frmSound_->startChoice();
    state.endOn = frmSound_->endChoice();
  }
  state.sound = radsndon->isChecked() ? SoundChoice::On : (radsndof->isChecked() ? SoundChoice::Off : SoundChoice::None);
  state.repeat =
      radrepon->isChecked() ? SoundChoice::On : (radrepoff->isChecked() ? SoundChoice::Off : SoundChoice::None);
  if (Radpicdef->isChecked()) {
    state.size = VideoSize::Default;
  } else if (Radpicc->isChecked()) {
    state.size = VideoSize::Custom;
  } else if (radpics->isChecked()) {
    state.size = VideoSize::Small;
  } else if (radpicm->isChecked()) {
    state.size = VideoSize::Medium;
  } else if (radpicl->isChecked()) {
    state.size = VideoSize::Large;
  }
  state.order = RadioButton1->isChecked() ? PlayOrder::Random
                                          : (RadioButton2->isChecked() ? PlayOrder::Sequence : PlayOrder::None);
  state.height = Lblheight->text().toInt();
  state.width = Lblwidth->text().toInt();
  state.soundFile = soundFileBytes_;
  return state;
}

void TForm2::ScrollBar1Scroll() { setNumberLabel(Lblwidth, ScrollBar1->sliderPosition()); }

void TForm2::ScrollBar2Scroll() { setNumberLabel(Lblheight, ScrollBar2->sliderPosition()); }

void TForm2::cmdwavClick() {
  const auto chosen = ChooseSoundFile(*services_.chooser, *services_.boxes);
  if (!chosen) return;
  soundFileBytes_ = *chosen;
  edwav->setText(PathText(*chosen));
  radsndon->setEnabled(true);
  radsndof->setEnabled(true);
}

void TForm2::CmdexitClick() {
  SettingsFile file(settingsPath());
  // A refused write throws out of here: the dialog stays open.
  SaveOptions(file, currentOptions());
  close();
}

void TForm2::closeEvent(QCloseEvent* event) {
  // FormCloseQuery: the video sound dialog goes with the options dialog,
  // and the close always goes ahead.
  delete frmSound_;
  QDialog::closeEvent(event);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the dialog: only "OK" (or Enter) ends it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm2::cmdhelpClick() {
  if (!aboutBox_) aboutBox_ = new Tfrmdisc(this);
  aboutBox_->exec();
}

void TForm2::CmdSoundClick() {
  if (frmSound_) frmSound_->exec();
}

void TForm2::button4Click() {
  ShowMoreSoftware(*services_.boxes, *services_.opener, FindReadme(services_.executableFolder));
}

void TForm2::BitBtn1Click() { ShowSupport(*services_.boxes, FindReadme(services_.executableFolder)); }

void TForm2::Button2Click() { list_.Button2Click(*services_.chooser); }

void TForm2::CmdAddEntireClick() { (void)list_.CmdAddEntireClick(*services_.chooser, *services_.progress); }

void TForm2::CmdClearListClick() { list_.CmdClearListClick(); }

void TForm2::Button3Click() { list_.Button3Click(); }

void TForm2::CmdPreviewClick() {
  const auto path = list_.CmdPreviewClick();
  if (!path) return;
  TFrmviddis preview(this, services_.mediaBackend(), *services_.boxes);
  preview.setVideoPath(*path);
  if (onPreviewShown) onPreviewShown(preview);
  preview.exec();
}

void TForm2::ListBox1Click() {
  const int row = ListBox1->currentRow();
  if (followingList_ || row < 0) return;
  list_.ListBox1Click(static_cast<std::size_t>(row));
}

void TForm2::ListBox1DblClick() { list_.ListBox1DblClick(*services_.opener); }

void TForm2::entryAppended(const std::string& text) {
  auto* item = new QListWidgetItem(PathText(text));
  // The item keeps the path's own bytes beside the text shown.
  item->setData(Qt::UserRole, QByteArray::fromStdString(text));
  ListBox1->addItem(item);
}

void TForm2::entryRemoved(std::size_t index) { delete ListBox1->takeItem(static_cast<int>(index)); }

void TForm2::entriesCleared() { ListBox1->clear(); }

void TForm2::selectionChanged(std::optional<std::size_t> index) {
  followingList_ = true;
  ListBox1->setCurrentRow(index ? static_cast<int>(*index) : -1);
  followingList_ = false;
}

void TForm2::labelsChanged(const std::string& count, const std::string& name) {
  Lblcount->setText(DisplayText(count));
  LblVidName->setText(PathText(name));
}

}  // namespace quorrel
