#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "options/options_model.h"
#include "options/video_list.h"
#include "settings/data_folder.h"
#include "windows/base/radio_group.h"
#include "windows/base/window.h"

namespace quorrel {

class MediaBackend;
class MessageBoxes;

namespace windows_desktop {

class VideoSoundDialog;
class AboutBox;
class FileDialogs;
class DesktopLauncher;
class ProgressDialog;

// "Quorrel Options": the video list, whose edits go to the settings file
// at once, and the options, which "OK" saves before the dialog closes. The
// list's rules are the core's VideoList; this window only shows them.
class OptionsDialog : public Window, private VideoListView {
 public:
  // Sets up the data folder and loads the settings file; throws when the
  // file can neither be found nor made.
  OptionsDialog(SettingsLocation settings, MessageBoxes& boxes, std::function<MediaBackend&()> mediaBackend,
         std::string executableFolder);
  ~OptionsDialog() override;

  void setAboutBox(AboutBox* box) { aboutBox_ = box; }
  void show();

  void fillFromSettings();
  void loadOptions();
  void widthBarMoved();
  void heightBarMoved();
  void chooseSoundFile();
  void saveAndClose();
  void showAboutBox();
  void showVideoSoundDialog();
  void showMoreSoftware();
  void showSupport();
  void previewVideo();
  void selectVideo();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void buildControls();
  void command(int id, HWND control, int notification);
  void applyOptions(const OptionsState& state);
  [[nodiscard]] OptionsState currentOptions() const;
  void scrolled(HWND bar, int request);
  void setSize(HWND label, std::int32_t& value, std::int32_t number);

  void entryAppended(const std::string& text) override;
  void entryRemoved(std::size_t index) override;
  void entriesCleared() override;
  void selectionChanged(std::optional<std::size_t> index) override;
  void labelsChanged(const std::string& count, const std::string& name) override;

  SettingsLocation settings_;
  MessageBoxes& boxes_;
  std::function<MediaBackend&()> mediaBackend_;
  std::string executableFolder_;
  std::unique_ptr<FileDialogs> chooser_;
  std::unique_ptr<DesktopLauncher> opener_;
  std::unique_ptr<ProgressDialog> progress_;
  VideoList list_;
  std::unique_ptr<VideoSoundDialog> videoSoundDialog_;
  AboutBox* aboutBox_ = nullptr;
  // The numbers the size labels show, and the sound file box's text.
  std::int32_t width_ = OptionsState::kMinimumVideoSide;
  std::int32_t height_ = OptionsState::kMinimumVideoSide;
  std::string soundFile_;
  std::set<HWND> navy_;

  HWND videoListBox = nullptr;
  HWND videoCountLabel = nullptr;
  HWND videoNameLabel = nullptr;
  HWND naturalSizeButton = nullptr;
  HWND fullScreenSizeButton = nullptr;
  HWND mediumSizeButton = nullptr;
  HWND smallSizeButton = nullptr;
  HWND customSizeButton = nullptr;
  HWND widthBar = nullptr;
  HWND heightBar = nullptr;
  HWND widthLabel = nullptr;
  HWND heightLabel = nullptr;
  HWND inSequenceButton = nullptr;
  HWND randomButton = nullptr;
  HWND soundFileBox = nullptr;
  HWND soundOnButton = nullptr;
  HWND soundOffButton = nullptr;
  HWND repeatOnButton = nullptr;
  HWND repeatOffButton = nullptr;
  RadioGroup sizeButtons_;
  RadioGroup orderButtons_;
  RadioGroup soundButtons_;
  RadioGroup repeatButtons_;
};

// Control identifiers of the options dialog; "OK" is IDOK, so that Enter
// presses it.
enum OptionsDialogControl : int {
  kAddVideoButton = 201,
  kAddFolderButton,
  kClearListButton,
  kRemoveVideoButton,
  kVideoSoundButton,
  kPreviewButton,
  kVideoListBox,
  kChooseSoundButton,
  kSupportButton,
  kMoreSoftwareButton,
  kAboutButton,
};

}  // namespace windows_desktop
}  // namespace quorrel
