#include "linux/options/options_dialog.h"

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
#include <filesystem>
#include <system_error>

#include "linux/base/message_boxes.h"
#include "linux/options/dialog_look.h"
#include "linux/options/about_box.h"
#include "linux/options/video_sound_dialog.h"
#include "linux/options/preview_window.h"
#include "options/options_actions.h"
#include "linux/options/option_services.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"

namespace quorrel {

namespace {

void setRadio(QRadioButton* radio, bool checked) {
  if (checked) radio->setChecked(true);
}

void setNumberLabel(QLabel* label, std::int32_t number) {
  label->setText(QString::number(number));
  label->adjustSize();
}

}  // namespace

TForm2::TForm2(ConfigServices services) : services_(std::move(services)), list_(services_.settings.SettingsFileName, *services_.boxes) {
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

std::string TForm2::settingsPath() const { return services_.settings.SettingsFileName; }

TFrmSound* TForm2::soundDialog() const { return frmSound_; }

void TForm2::setAboutBox(Tfrmdisc* box) { aboutBox_ = box; }

void TForm2::FormCreate() {
  SetupDataFolder(services_.settings, *services_.boxes);
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
  if (IsEmptySlotForDialog(sound) || sound.empty()) {
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
  setRadio(Radpicc, state.size == VideoSizeMode::Custom);
  setRadio(radpics, state.size == VideoSizeMode::Small);
  setRadio(radpicm, state.size == VideoSizeMode::Medium);
  setRadio(radpicl, state.size == VideoSizeMode::FullScreen);
  setRadio(Radpicdef, state.size == VideoSizeMode::Natural);
  setRadio(RadioButton1, state.order == VideoOrder::Random);
  setRadio(RadioButton2, state.order == VideoOrder::InSequence);
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
    state.size = VideoSizeMode::Natural;
  } else if (Radpicc->isChecked()) {
    state.size = VideoSizeMode::Custom;
  } else if (radpics->isChecked()) {
    state.size = VideoSizeMode::Small;
  } else if (radpicm->isChecked()) {
    state.size = VideoSizeMode::Medium;
  } else if (radpicl->isChecked()) {
    state.size = VideoSizeMode::FullScreen;
  }
  if (RadioButton1->isChecked()) {
    state.order = VideoOrder::Random;
  } else if (RadioButton2->isChecked()) {
    state.order = VideoOrder::InSequence;
  }
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
