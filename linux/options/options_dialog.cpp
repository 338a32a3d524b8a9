#include "linux/options/options_dialog.h"

#include <QCheckBox>
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
#include <QSpinBox>
#include <optional>
#include <utility>
#include <vector>

#include "linux/base/message_boxes.h"
#include "linux/media/video_formats.h"
#include "linux/options/about_box.h"
#include "linux/options/dialog_builder.h"
#include "linux/options/option_services.h"
#include "linux/options/preview_window.h"
#include "linux/options/video_sound_dialog.h"

namespace quorrel::linux_desktop {

namespace {

// Checks the button that stands for `value`, or none of the group's.
template <typename Value>
void selectRadio(std::initializer_list<std::pair<QRadioButton*, Value>> buttons, const std::optional<Value>& value) {
  std::vector<QRadioButton*> group;
  for (const auto& [button, buttonValue] : buttons) group.push_back(button);
  ClearRadioGroup(group);
  for (const auto& [button, buttonValue] : buttons) {
    if (value == buttonValue) button->setChecked(true);
  }
}

std::optional<bool> isOn(OnOffChoice choice) {
  if (choice == OnOffChoice::None) return std::nullopt;
  return choice == OnOffChoice::On;
}

void setNumberLabel(QLabel* label, std::int32_t number) {
  label->setText(QString::number(number));
  label->adjustSize();
}

}  // namespace

OptionsDialog::OptionsDialog(OptionsDialogServices services) : services_(std::move(services)) {
  if (services_.chooser == nullptr) {
    ownChooser_ = std::make_unique<FileDialogs>(this);
    services_.chooser = ownChooser_.get();
  }
  if (services_.opener == nullptr) {
    ownOpener_ = std::make_unique<DesktopLauncher>();
    services_.opener = ownOpener_.get();
  }
  if (services_.idleWatcher == nullptr) {
    ownIdleWatcher_ = std::make_unique<IdleWatcherLauncher>();
    services_.idleWatcher = ownIdleWatcher_.get();
  }
  if (services_.progress == nullptr) {
    ownProgress_ = std::make_unique<ProgressDialog>(this);
    services_.progress = ownProgress_.get();
  }
  if (services_.executableFolder.empty())
    services_.executableFolder = PathBytes(QCoreApplication::applicationDirPath());

  // A fixed frame without title-bar buttons: "OK" is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  ApplyWindowLayout(*this, OptionsDialogLayout());
  buildControls();
  controller_ = std::make_unique<OptionsController>(
      OptionsServices{services_.settings, *services_.boxes, *services_.chooser, *services_.opener, *services_.progress,
                      services_.executableFolder, kPlayableVideoExtensions, services_.idleWatcher},
      static_cast<OptionsView&>(*this));
  videoSoundDialog_ = new VideoSoundDialog(this, *controller_);
  connectHandlers();
  QSize screen(OptionsState::kMinimumVideoSide, OptionsState::kMinimumVideoSide);
  if (const QScreen* primary = QGuiApplication::primaryScreen()) screen = primary->geometry().size();
  videoListBox->setUpdatesEnabled(false);
  controller_->load(screen.width(), screen.height());
  videoListBox->setUpdatesEnabled(true);
}

OptionsDialog::~OptionsDialog() { controller_->videoList().setView(nullptr); }

void OptionsDialog::buildControls() {
  const LaidOutControls controls = BuildControls(*this, OptionsDialogLayout());
  using enum ControlId;
  introLabel = controls.get<QLabel>(OptionsIntro);
  videoListBox = controls.get<QListWidget>(VideoList);
  videoFilesGroup = controls.get<QGroupBox>(VideoFilesGroup);
  addVideoButton = controls.get<QPushButton>(AddVideoButton);
  addFolderButton = controls.get<QPushButton>(AddFolderButton);
  clearListButton = controls.get<QPushButton>(ClearListButton);
  removeVideoButton = controls.get<QPushButton>(RemoveVideoButton);
  videoSoundButton = controls.get<QPushButton>(VideoSoundButton);
  previewButton = controls.get<QPushButton>(PreviewButton);
  videoCountLabel = controls.get<QLabel>(VideoCountLabel);
  videoNameLabel = controls.get<QLabel>(VideoNameLabel);
  sizeGroup = controls.get<QGroupBox>(SizeGroup);
  naturalSizeButton = controls.get<QRadioButton>(NaturalSizeButton);
  fullScreenSizeButton = controls.get<QRadioButton>(FullScreenSizeButton);
  mediumSizeButton = controls.get<QRadioButton>(MediumSizeButton);
  smallSizeButton = controls.get<QRadioButton>(SmallSizeButton);
  customSizeButton = controls.get<QRadioButton>(CustomSizeButton);
  customSizeGroup = controls.get<QGroupBox>(CustomSizeGroup);
  widthCaption = controls.get<QLabel>(WidthCaption);
  heightCaption = controls.get<QLabel>(HeightCaption);
  widthBar = controls.get<QScrollBar>(WidthBar);
  heightBar = controls.get<QScrollBar>(HeightBar);
  widthLabel = controls.get<QLabel>(WidthLabel);
  heightLabel = controls.get<QLabel>(HeightLabel);
  everyMonitorBox = controls.get<QCheckBox>(EveryMonitorBox);
  idleStartBox = controls.get<QCheckBox>(IdleStartBox);
  idleMinutesBox = controls.get<QSpinBox>(IdleMinutesBox);
  idleMinutesCaption = controls.get<QLabel>(IdleMinutesCaption);
  idleMinutesBox->setRange(kIdleMinutesMinimum, kIdleMinutesMaximum);
  orderGroup = controls.get<QGroupBox>(OrderGroup);
  inSequenceButton = controls.get<QRadioButton>(InSequenceButton);
  randomButton = controls.get<QRadioButton>(RandomButton);
  soundFileGroup = controls.get<QGroupBox>(SoundFileGroup);
  soundFileBox = controls.get<QLineEdit>(SoundFileBox);
  chooseSoundButton = controls.get<QPushButton>(ChooseSoundButton);
  soundOnButton = controls.get<QRadioButton>(SoundOnButton);
  soundOffButton = controls.get<QRadioButton>(SoundOffButton);
  repeatGroup = controls.get<QGroupBox>(RepeatGroup);
  repeatOnButton = controls.get<QRadioButton>(RepeatOnButton);
  repeatOffButton = controls.get<QRadioButton>(RepeatOffButton);
  supportButton = controls.get<QPushButton>(SupportButton);
  moreSoftwareButton = controls.get<QPushButton>(MoreSoftwareButton);
  aboutButton = controls.get<QPushButton>(AboutButton);
  okButton = controls.get<QPushButton>(OkButton);
  // The size bars run from the smallest side a video may have, a pixel at a
  // time for the arrows and for page clicks alike.
  for (QScrollBar* bar : {widthBar, heightBar}) {
    bar->setMinimum(OptionsState::kMinimumVideoSide);
    bar->setValue(OptionsState::kMinimumVideoSide);
    bar->setSingleStep(1);
    bar->setPageStep(1);
  }
  videoListBox->setFocus();
}

void OptionsDialog::connectHandlers() {
  OptionsController& controller = *controller_;
  // The size labels follow every move of their bars, the user's arrows,
  // page clicks and drags alike, but not the bars' placing at load.
  auto widthMoved = [this, &controller] {
    if (!showing_) controller.widthBarMoved(widthBar->sliderPosition());
  };
  auto heightMoved = [this, &controller] {
    if (!showing_) controller.heightBarMoved(heightBar->sliderPosition());
  };
  connect(widthBar, &QScrollBar::valueChanged, this, widthMoved);
  connect(heightBar, &QScrollBar::valueChanged, this, heightMoved);
  connect(widthBar, &QScrollBar::actionTriggered, this, widthMoved);
  connect(heightBar, &QScrollBar::actionTriggered, this, heightMoved);
  // A radio button tells its choice whenever it becomes checked, by a
  // click, the keyboard or the arrow keys within its group.
  auto onChecked = [this](QRadioButton* button, auto choose) {
    connect(button, &QRadioButton::toggled, this, [this, choose](bool checked) {
      if (checked && !showing_) choose();
    });
  };
  onChecked(naturalSizeButton, [&controller] { controller.chooseSize(VideoSizeMode::Natural); });
  onChecked(fullScreenSizeButton, [&controller] { controller.chooseSize(VideoSizeMode::FullScreen); });
  onChecked(mediumSizeButton, [&controller] { controller.chooseSize(VideoSizeMode::Medium); });
  onChecked(smallSizeButton, [&controller] { controller.chooseSize(VideoSizeMode::Small); });
  onChecked(customSizeButton, [&controller] { controller.chooseSize(VideoSizeMode::Custom); });
  onChecked(inSequenceButton, [&controller] { controller.chooseOrder(VideoOrder::InSequence); });
  onChecked(randomButton, [&controller] { controller.chooseOrder(VideoOrder::Random); });
  onChecked(soundOnButton, [&controller] { controller.chooseSound(true); });
  onChecked(soundOffButton, [&controller] { controller.chooseSound(false); });
  onChecked(repeatOnButton, [&controller] { controller.chooseRepeat(true); });
  onChecked(repeatOffButton, [&controller] { controller.chooseRepeat(false); });
  // Only the user's own clicks and keys count, never the load's setting.
  connect(everyMonitorBox, &QCheckBox::clicked, this,
          [&controller](bool checked) { controller.chooseEveryMonitor(checked); });
  connect(idleStartBox, &QCheckBox::toggled, this, [this, &controller](bool checked) {
    idleMinutesBox->setEnabled(checked);
    if (!showing_) controller.chooseIdleStart(checked);
  });
  connect(idleMinutesBox, &QSpinBox::valueChanged, this, [this, &controller](int minutes) {
    if (!showing_) controller.chooseIdleMinutes(minutes);
  });
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
  connect(videoListBox, &QListWidget::currentRowChanged, this, [this, &controller](int row) {
    if (!showing_ && row >= 0) controller.selectVideo(static_cast<std::size_t>(row));
  });
  connect(videoListBox, &QListWidget::itemDoubleClicked, this, [this] { openSelectedVideo(); });
}

VideoSoundDialog* OptionsDialog::videoSoundDialog() const { return videoSoundDialog_; }

void OptionsDialog::setAboutBox(AboutBox* box) { aboutBox_ = box; }

void OptionsDialog::setSizeBarRanges(std::int32_t widthMaximum, std::int32_t heightMaximum) {
  widthBar->setMaximum(widthMaximum);
  heightBar->setMaximum(heightMaximum);
}

void OptionsDialog::showOptions(const OptionsState& options) {
  showing_ = true;
  selectRadio<VideoSizeMode>({{naturalSizeButton, VideoSizeMode::Natural},
                              {fullScreenSizeButton, VideoSizeMode::FullScreen},
                              {mediumSizeButton, VideoSizeMode::Medium},
                              {smallSizeButton, VideoSizeMode::Small},
                              {customSizeButton, VideoSizeMode::Custom}},
                             options.size);
  selectRadio<VideoOrder>({{inSequenceButton, VideoOrder::InSequence}, {randomButton, VideoOrder::Random}},
                          options.order);
  selectRadio<bool>({{soundOnButton, true}, {soundOffButton, false}}, isOn(options.sound));
  selectRadio<bool>({{repeatOnButton, true}, {repeatOffButton, false}}, isOn(options.repeat));
  everyMonitorBox->setChecked(options.everyMonitor);
  idleStartBox->setChecked(options.idleStart);
  idleMinutesBox->setEnabled(options.idleStart);
  idleMinutesBox->setValue(options.idleMinutes);
  // The bars stop at the screen's size; a larger stored number stays in
  // its label, and so in the file at the next save.
  widthBar->setValue(options.width);
  heightBar->setValue(options.height);
  showing_ = false;
  showSizeNumbers(options.width, options.height);
  showSoundFile(options.soundFile);
  showMuteChoices(options.startOn, options.endOn);
}

void OptionsDialog::showSizeNumbers(std::int32_t width, std::int32_t height) {
  setNumberLabel(widthLabel, width);
  setNumberLabel(heightLabel, height);
}

void OptionsDialog::showSoundFile(const std::string& path) { soundFileBox->setText(PathText(path)); }

void OptionsDialog::setSoundChoiceEnabled(bool enabled) {
  soundOnButton->setEnabled(enabled);
  soundOffButton->setEnabled(enabled);
}

void OptionsDialog::showMuteChoices(MuteChoice start, MuteChoice end) {
  if (videoSoundDialog_) videoSoundDialog_->showChoices(start, end);
}

void OptionsDialog::showPreview(const std::string& path) {
  PreviewWindow preview(this, services_.mediaBackend(), *services_.boxes);
  preview.setVideoPath(path);
  if (onPreviewShown) onPreviewShown(preview);
  preview.exec();
}

void OptionsDialog::closeDialog() { close(); }

void OptionsDialog::closeEvent(QCloseEvent* event) {
  // However the dialog closes, it writes no option values, and the video
  // sound dialog goes with it.
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

void OptionsDialog::entryAppended(const std::string& text) {
  auto* item = new QListWidgetItem(PathText(text));
  // The item keeps the path's own bytes beside the text shown.
  item->setData(Qt::UserRole, QByteArray::fromStdString(text));
  videoListBox->addItem(item);
}

void OptionsDialog::entryRemoved(std::size_t index) { delete videoListBox->takeItem(static_cast<int>(index)); }

void OptionsDialog::entriesCleared() { videoListBox->clear(); }

void OptionsDialog::selectionChanged(std::optional<std::size_t> index) {
  showing_ = true;
  videoListBox->setCurrentRow(index ? static_cast<int>(*index) : -1);
  showing_ = false;
}

void OptionsDialog::labelsChanged(const std::string& count, const std::string& name) {
  videoCountLabel->setText(DisplayText(count));
  videoNameLabel->setText(PathText(name));
}

}  // namespace quorrel::linux_desktop
