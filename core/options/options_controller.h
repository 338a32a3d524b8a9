#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "options/options_model.h"
#include "options/video_list.h"
#include "settings/data_folder.h"

namespace quorrel {

class DesktopOpener;
class FileChooser;
class IdleWatcherStarter;
class MessageBoxes;
class TaskProgress;

// What the options dialog and its video sound dialog show. The controller
// tells its view what to show each time that changes; a view keeps nothing
// that the controller reads back.
class OptionsView : public VideoListView {
 public:
  // The size bars run from the smallest side to the screen's size.
  virtual void setSizeBarRanges(std::int32_t widthMaximum, std::int32_t heightMaximum) = 0;
  // Every option control at once: the radio groups (a group whose choice is
  // unset shows no button selected), both size labels and bars, the sound
  // file box and the video sound dialog's buttons.
  virtual void showOptions(const OptionsState& options) = 0;
  // The two numbers under the size bars, after a bar has moved.
  virtual void showSizeNumbers(std::int32_t width, std::int32_t height) = 0;
  virtual void showSoundFile(const std::string& path) = 0;
  // "Sound ON" and "Sound OFF" can be changed only once there is a sound file.
  virtual void setSoundChoiceEnabled(bool enabled) = 0;
  // The video sound dialog's four buttons.
  virtual void showMuteChoices(MuteChoice start, MuteChoice end) = 0;
  // Plays the video in a preview window of its own, modally.
  virtual void showPreview(const std::string& path) = 0;
  // Ends the dialog, and with it the configuration mode.
  virtual void closeDialog() = 0;
};

// What the options dialog works with. Everything here outlives the
// controller.
struct OptionsServices {
  SettingsLocation settings;
  MessageBoxes& boxes;
  FileChooser& chooser;
  DesktopOpener& opener;
  TaskProgress& progress;
  // The folder holding the executable, where the documentation is looked for.
  std::string executableFolder;
  // The videos this platform plays, which "Add Entire Folder" takes.
  VideoExtensions videoExtensions;
  // The idle watcher that "OK" starts when the show is to start by itself;
  // none where the system starts the screen saver (Windows).
  IdleWatcherStarter* idleWatcher = nullptr;
};

// The options dialog's rules, from loading the settings file into its
// controls to the save on "OK": what each control and button does, and what
// is enabled. The Qt and the Win32 dialog draw its state and forward the
// user's clicks here. Video list edits reach the settings file at once
// (VideoList); the options only with "OK".
class OptionsController {
 public:
  OptionsController(OptionsServices services, OptionsView& view);
  OptionsController(const OptionsController&) = delete;
  OptionsController& operator=(const OptionsController&) = delete;

  // Makes the data folder and the default settings file when they are
  // missing, then fills the dialog from the file: the options, the list of
  // videos with the first one selected, the sound buttons and the video
  // chooser's start folder. The bars end at the screen's size.
  void load(std::int32_t screenWidth, std::int32_t screenHeight);

  [[nodiscard]] const OptionsState& options() const { return options_; }
  [[nodiscard]] bool soundChoiceEnabled() const { return soundChoiceEnabled_; }
  [[nodiscard]] VideoList& videoList() { return list_; }

  // A radio button chosen by the user.
  void chooseSize(VideoSizeMode size);
  void chooseOrder(VideoOrder order);
  void chooseSound(bool on);
  void chooseRepeat(bool on);
  void chooseStartMute(MuteChoice choice);
  void chooseEndMute(MuteChoice choice);
  // "Play videos on every monitor" checked or cleared by the user.
  void chooseEveryMonitor(bool on);
  // "Start the show after" checked or cleared, and its minutes.
  void chooseIdleStart(bool on);
  void chooseIdleMinutes(std::int32_t minutes);
  // "Clear Settings" in the video sound dialog: neither choice is set, so
  // the next save removes both keys and the show leaves the mute alone.
  void clearMuteChoices();

  // A size bar stands at a new position.
  void widthBarMoved(std::int32_t position);
  void heightBarMoved(std::int32_t position);

  // "Add a Sound File ".
  void chooseSoundFile();
  // "OK": every option goes to the settings file, the idle watcher starts
  // when the show is to start by itself, then the dialog closes. A refused
  // write stops the save with the settings store's error, and the dialog
  // stays open.
  void saveAndClose();
  // "More Software" and "Support": the documentation Quorrel installs.
  void showMoreSoftware();
  void showSupport();

  // The list's buttons and the list box.
  void addVideo();
  void addEntireFolder();
  void clearList();
  void removeVideo();
  void selectVideo(std::size_t index);
  void openSelectedVideo();
  void previewVideo();

 private:
  OptionsServices services_;
  OptionsView& view_;
  VideoList list_;
  OptionsState options_;
  bool soundChoiceEnabled_ = true;
};

}  // namespace quorrel
