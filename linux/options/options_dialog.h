#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "options/options_controller.h"
#include "settings/data_folder.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QScrollBar;
class QSpinBox;

namespace quorrel {
class MessageBoxes;
class MediaBackend;
class FileChooser;
class DesktopOpener;
class TaskProgress;
class IdleWatcherStarter;
}  // namespace quorrel

namespace quorrel::linux_desktop {
class VideoSoundDialog;
class AboutBox;

// What the options dialog asks of the world outside it. The choosers, the
// desktop and the progress display default to Qt's own when left null;
// tests put fakes in their place.
struct OptionsDialogServices {
  MessageBoxes* boxes = nullptr;
  FileChooser* chooser = nullptr;
  DesktopOpener* opener = nullptr;
  TaskProgress* progress = nullptr;
  IdleWatcherStarter* idleWatcher = nullptr;
  // The process's one media back end, made when the first preview needs it.
  std::function<MediaBackend&()> mediaBackend;
  // The folder holding the executable, where the documentation is looked for.
  std::string executableFolder;
  // Where the settings file lives.
  SettingsLocation settings;
};

// "Quorrel Options": the video list, whose edits go to the settings file at
// once, and the options, which "OK" saves before the dialog closes. The
// rules are the core's OptionsController; this window draws what it says
// and forwards the user's clicks to it.
class OptionsDialog : public QDialog, private OptionsView {
  Q_OBJECT
 public:
  // Fills itself from the settings file; throws when the file can neither
  // be found nor made.
  explicit OptionsDialog(OptionsDialogServices services);
  ~OptionsDialog() override;

  // The About box the configuration mode made after this dialog.
  void setAboutBox(AboutBox* box);

  [[nodiscard]] OptionsController& controller() { return *controller_; }
  [[nodiscard]] VideoList& videoList() { return controller_->videoList(); }
  [[nodiscard]] VideoSoundDialog* videoSoundDialog() const;

  // What the buttons do.
  void chooseSoundFile() { controller_->chooseSoundFile(); }
  void saveAndClose() { controller_->saveAndClose(); }
  void showAboutBox();
  void showVideoSoundDialog();
  void showMoreSoftware() { controller_->showMoreSoftware(); }
  void showSupport() { controller_->showSupport(); }
  void addVideo() { controller_->addVideo(); }
  void addEntireFolder() { controller_->addEntireFolder(); }
  void clearList() { controller_->clearList(); }
  void removeVideo() { controller_->removeVideo(); }
  void previewVideo() { controller_->previewVideo(); }
  void openSelectedVideo() { controller_->openSelectedVideo(); }

  // Called on every preview window before it is shown modally (tests use
  // it to drive the window; the dialog itself needs nothing from it).
  std::function<void(class PreviewWindow&)> onPreviewShown;

  QLabel* introLabel;
  QListWidget* videoListBox;
  QGroupBox* videoFilesGroup;
  QPushButton* addVideoButton;
  QPushButton* addFolderButton;
  QPushButton* clearListButton;
  QPushButton* removeVideoButton;
  QPushButton* videoSoundButton;
  QPushButton* previewButton;
  QLabel* videoCountLabel;
  QLabel* videoNameLabel;
  QGroupBox* sizeGroup;
  QRadioButton* naturalSizeButton;
  QRadioButton* fullScreenSizeButton;
  QRadioButton* mediumSizeButton;
  QRadioButton* smallSizeButton;
  QRadioButton* customSizeButton;
  QGroupBox* customSizeGroup;
  QLabel* widthCaption;
  QLabel* heightCaption;
  QScrollBar* widthBar;
  QScrollBar* heightBar;
  QLabel* widthLabel;
  QLabel* heightLabel;
  QCheckBox* everyMonitorBox;
  QCheckBox* idleStartBox;
  QSpinBox* idleMinutesBox;
  QLabel* idleMinutesCaption;
  QGroupBox* orderGroup;
  QRadioButton* inSequenceButton;
  QRadioButton* randomButton;
  QGroupBox* soundFileGroup;
  QLineEdit* soundFileBox;
  QPushButton* chooseSoundButton;
  QRadioButton* soundOnButton;
  QRadioButton* soundOffButton;
  QGroupBox* repeatGroup;
  QRadioButton* repeatOnButton;
  QRadioButton* repeatOffButton;
  QPushButton* supportButton;
  QPushButton* moreSoftwareButton;
  QPushButton* aboutButton;
  QPushButton* okButton;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildControls();
  void connectHandlers();

  // OptionsView: the controls show the controller's state.
  void setSizeBarRanges(std::int32_t widthMaximum, std::int32_t heightMaximum) override;
  void showOptions(const OptionsState& options) override;
  void showSizeNumbers(std::int32_t width, std::int32_t height) override;
  void showSoundFile(const std::string& path) override;
  void setSoundChoiceEnabled(bool enabled) override;
  void showMuteChoices(MuteChoice start, MuteChoice end) override;
  void showPreview(const std::string& path) override;
  void closeDialog() override;
  // The list box follows the list one change at a time.
  void entryAppended(const std::string& text) override;
  void entryRemoved(std::size_t index) override;
  void entriesCleared() override;
  void selectionChanged(std::optional<std::size_t> index) override;
  void labelsChanged(const std::string& count, const std::string& name) override;

  OptionsDialogServices services_;
  std::unique_ptr<FileChooser> ownChooser_;
  std::unique_ptr<DesktopOpener> ownOpener_;
  std::unique_ptr<TaskProgress> ownProgress_;
  std::unique_ptr<IdleWatcherStarter> ownIdleWatcher_;
  QPointer<VideoSoundDialog> videoSoundDialog_;
  QPointer<AboutBox> aboutBox_;
  std::unique_ptr<OptionsController> controller_;
  // Set while the controls are being set from the controller's state, so
  // that their change signals do not come back to it.
  bool showing_ = false;
};

}  // namespace quorrel::linux_desktop
