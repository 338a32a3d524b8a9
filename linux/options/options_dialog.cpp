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
#include "linux/options/about_box.h"
#include "linux/options/dialog_look.h"
#include "linux/options/option_services.h"
#include "linux/options/preview_window.h"
#include "linux/options/video_sound_dialog.h"
#include "options/options_actions.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"

namespace quorrel::linux_desktop {

namespace {

void setRadio(QRadioButton* radio, bool checked) {
  if (checked) radio->setChecked(true);
}

void setNumberLabel(QLabel* label, std::int32_t number) {
  label->setText(QString::number(number));
  label->adjustSize();
}

}  // namespace

OptionsDialog::OptionsDialog(OptionsDialogServices services) : services_(std::move(services)), list_(services_.settings.SettingsFileName, *services_.boxes) {
  if (services_.chooser == nullptr) {
    ownChooser_ = std::make_unique<FileDialogs>(this);
    services_.chooser = ownChooser_.get();
  }
  if (services_.opener == nullptr) {
    ownOpener_ = std::make_unique<DesktopLauncher>();
    services_.opener = ownOpener_.get();
  }
  if (services_.progress == nullptr) {
    ownProgress_ = std::make_unique<ProgressDialog>(this);
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
  fillFromSettings();
}

OptionsDialog::~OptionsDialog() { list_.setView(nullptr); }

void OptionsDialog::connectHandlers() {
  // The size labels follow every move of their bars, the user's arrows,
  // page clicks and drags alike, but not the bars' placing at load.
  connect(widthBar, &QScrollBar::valueChanged, this, [this] { widthBarMoved(); });
  connect(heightBar, &QScrollBar::valueChanged, this, [this] { heightBarMoved(); });
  connect(widthBar, &QScrollBar::actionTriggered, this, [this] { widthBarMoved(); });
  connect(heightBar, &QScrollBar::actionTriggered, this, [this] { heightBarMoved(); });
  connect(chooseSoundButton, &QPushButton::clicked, this, [this] { chooseSoundFile(); });
  connect(okButton, &QPushButton::clicked, this, [this] { saveAndClose(); });
  connect(aboutButton, &QPushButton::clicked, this, [this] { showAboutBox(); });
  connect(videoSoundButton, &QPushButton::clicked, this, [this] { showVideoSoundDialog(); });
  connect(moreSoftwareButton, &QPushButton::clicked, this, [this] { showMoreSoftware(); });
  connect(supportButton, &QPushButton::clicked, this, [this] { showSupport(); });
  connect(addVideoButton, &QPushButton::clicked, this, [this] { addVideo(); });
  connect(addFolderButton, &QPushButton::clicked, this, [this] { addEntireFolder(); });
  connect(clearListButton, &QPushButton::clicked, this, [this] { clearList(); });
  connect(removeVideoButton, &QPushButton::clicked, this, [this] { removeVideo(); });
  connect(previewButton, &QPushButton::clicked, this, [this] { previewVideo(); });
  connect(videoListBox, &QListWidget::currentRowChanged, this, [this] { selectVideo(); });
  connect(videoListBox, &QListWidget::itemDoubleClicked, this, [this] { openSelectedVideo(); });
}

std::string OptionsDialog::settingsPath() const { return services_.settings.SettingsFileName; }

VideoSoundDialog* OptionsDialog::videoSoundDialog() const { return videoSoundDialog_; }

void OptionsDialog::setAboutBox(AboutBox* box) { aboutBox_ = box; }

void OptionsDialog::fillFromSettings() {
  SetupDataFolder(services_.settings, *services_.boxes);
  videoSoundDialog_ = new VideoSoundDialog(this);
  list_.resetSlots();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    widthBar->setMaximum(screen->geometry().width());
    heightBar->setMaximum(screen->geometry().height());
  }
  std::error_code error;
  if (std::filesystem::exists(settingsPath(), error)) loadOptions();
  videoListBox->setUpdatesEnabled(false);
  list_.fillFromSlots();
  videoListBox->setUpdatesEnabled(true);
  list_.updateVideoLabels();
  const std::string& sound = list_.videoSlots()[0];
  if (IsEmptySlotForDialog(sound) || sound.empty()) {
    soundOnButton->setEnabled(false);
    soundOffButton->setEnabled(false);
  }
  services_.chooser->setVideoStartFolder(list_.loadLastDir());
}

void OptionsDialog::loadOptions() {
  const OptionsState state = quorrel::LoadOptions(SettingsFile(settingsPath()), list_.videoSlots());
  applyOptions(state);
  if (videoSoundDialog_) videoSoundDialog_->setChoices(state.startOn, state.endOn);
}

void OptionsDialog::applyOptions(const OptionsState& state) {
  setRadio(soundOnButton, state.sound == SoundChoice::On);
  setRadio(soundOffButton, state.sound == SoundChoice::Off);
  setRadio(repeatOnButton, state.repeat == SoundChoice::On);
  setRadio(repeatOffButton, state.repeat == SoundChoice::Off);
  setRadio(customSizeButton, state.size == VideoSizeMode::Custom);
  setRadio(smallSizeButton, state.size == VideoSizeMode::Small);
  setRadio(mediumSizeButton, state.size == VideoSizeMode::Medium);
  setRadio(fullScreenSizeButton, state.size == VideoSizeMode::FullScreen);
  setRadio(naturalSizeButton, state.size == VideoSizeMode::Natural);
  setRadio(randomButton, state.order == VideoOrder::Random);
  setRadio(inSequenceButton, state.order == VideoOrder::InSequence);
  setNumberLabel(heightLabel, state.height);
  setNumberLabel(widthLabel, state.width);
  // The bars stop at the screen's size; a larger stored number stays in
  // its label, and so in the file at the next save.
  const QSignalBlocker widthBlocker(widthBar);
  const QSignalBlocker heightBlocker(heightBar);
  widthBar->setValue(state.width);
  heightBar->setValue(state.height);
  soundFileBytes_ = state.soundFile;
  soundFileBox->setText(PathText(state.soundFile));
}

OptionsState OptionsDialog::currentOptions() const {
  OptionsState state;
  if (videoSoundDialog_) {
    state.startOn = videoSoundDialog_->startChoice();
    state.endOn = videoSoundDialog_->endChoice();
  }
  state.sound = soundOnButton->isChecked() ? SoundChoice::On : (soundOffButton->isChecked() ? SoundChoice::Off : SoundChoice::None);
  state.repeat =
      repeatOnButton->isChecked() ? SoundChoice::On : (repeatOffButton->isChecked() ? SoundChoice::Off : SoundChoice::None);
  if (naturalSizeButton->isChecked()) {
    state.size = VideoSizeMode::Natural;
  } else if (customSizeButton->isChecked()) {
    state.size = VideoSizeMode::Custom;
  } else if (smallSizeButton->isChecked()) {
    state.size = VideoSizeMode::Small;
  } else if (mediumSizeButton->isChecked()) {
    state.size = VideoSizeMode::Medium;
  } else if (fullScreenSizeButton->isChecked()) {
    state.size = VideoSizeMode::FullScreen;
  }
  if (randomButton->isChecked()) {
    state.order = VideoOrder::Random;
  } else if (inSequenceButton->isChecked()) {
    state.order = VideoOrder::InSequence;
  }
  state.height = heightLabel->text().toInt();
  state.width = widthLabel->text().toInt();
  state.soundFile = soundFileBytes_;
  return state;
}

void OptionsDialog::widthBarMoved() { setNumberLabel(widthLabel, widthBar->sliderPosition()); }

void OptionsDialog::heightBarMoved() { setNumberLabel(heightLabel, heightBar->sliderPosition()); }

void OptionsDialog::chooseSoundFile() {
  const auto chosen = ChooseSoundFile(*services_.chooser, *services_.boxes);
  if (!chosen) return;
  soundFileBytes_ = *chosen;
  soundFileBox->setText(PathText(*chosen));
  soundOnButton->setEnabled(true);
  soundOffButton->setEnabled(true);
}

void OptionsDialog::saveAndClose() {
  SettingsFile file(settingsPath());
  // A refused write throws out of here: the dialog stays open.
  SaveOptions(file, currentOptions());
  close();
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
  // Closing: the video sound dialog goes with the options dialog,
  // and the close always goes ahead.
  delete videoSoundDialog_;
  QDialog::closeEvent(event);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
  // Escape does not close the dialog: only "OK" (or Enter) ends it.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void OptionsDialog::showAboutBox() {
  if (!aboutBox_) aboutBox_ = new AboutBox(this);
  aboutBox_->exec();
}

void OptionsDialog::showVideoSoundDialog() {
  if (videoSoundDialog_) videoSoundDialog_->exec();
}

void OptionsDialog::showMoreSoftware() {
  ShowMoreSoftware(*services_.boxes, *services_.opener, FindReadme(services_.executableFolder));
}

void OptionsDialog::showSupport() { ShowSupport(*services_.boxes, FindReadme(services_.executableFolder)); }

void OptionsDialog::addVideo() { list_.addVideo(*services_.chooser); }

void OptionsDialog::addEntireFolder() { (void)list_.addEntireFolder(*services_.chooser, *services_.progress); }

void OptionsDialog::clearList() { list_.clearList(); }

void OptionsDialog::removeVideo() { list_.removeVideo(); }

void OptionsDialog::previewVideo() {
  const auto path = list_.videoToPreview();
  if (!path) return;
  PreviewWindow preview(this, services_.mediaBackend(), *services_.boxes);
  preview.setVideoPath(*path);
  if (onPreviewShown) onPreviewShown(preview);
  preview.exec();
}

void OptionsDialog::selectVideo() {
  const int row = videoListBox->currentRow();
  if (followingList_ || row < 0) return;
  list_.selectVideo(static_cast<std::size_t>(row));
}

void OptionsDialog::openSelectedVideo() { list_.openSelectedVideo(*services_.opener); }

void OptionsDialog::entryAppended(const std::string& text) {
  auto* item = new QListWidgetItem(PathText(text));
  // The item keeps the path's own bytes beside the text shown.
  item->setData(Qt::UserRole, QByteArray::fromStdString(text));
  videoListBox->addItem(item);
}

void OptionsDialog::entryRemoved(std::size_t index) { delete videoListBox->takeItem(static_cast<int>(index)); }

void OptionsDialog::entriesCleared() { videoListBox->clear(); }

void OptionsDialog::selectionChanged(std::optional<std::size_t> index) {
  followingList_ = true;
  videoListBox->setCurrentRow(index ? static_cast<int>(*index) : -1);
  followingList_ = false;
}

void OptionsDialog::labelsChanged(const std::string& count, const std::string& name) {
  videoCountLabel->setText(DisplayText(count));
  videoNameLabel->setText(PathText(name));
}

}  // namespace quorrel::linux_desktop
