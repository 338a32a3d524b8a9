#pragma once

#include <functional>
#include <memory>
#include <string>

#include "options/options_controller.h"
#include "settings/data_folder.h"
#include "windows/base/radio_group.h"
#include "windows/options/dialog_builder.h"

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
// rules are the core's OptionsController; this window draws what it says
// and forwards the user's clicks to it.
// The options dialog's window class, by which a second start finds the
// dialog that its owner already has.
inline constexpr wchar_t kOptionsDialogClass[] = L"QuorrelOptions";

class OptionsDialog : public LaidOutWindow, private OptionsView {
 public:
  // Sets up the data folder and loads the settings file; throws when the
  // file can neither be found nor made. With an owner (the window of
  // Windows' screen saver settings that asked for the dialog), the dialog
  // is modal to it: the owner is disabled while the dialog is open.
  OptionsDialog(SettingsLocation settings, MessageBoxes& boxes, std::function<MediaBackend&()> mediaBackend,
                std::string executableFolder, HWND owner = nullptr);
  ~OptionsDialog() override;

  void setAboutBox(AboutBox* box) { aboutBox_ = box; }
  void show();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void buildControls();
  void command(ControlId id, HWND control, int notification);
  void radioClicked(HWND button);
  void scrolled(HWND bar, int request);

  // OptionsView: the controls show the controller's state.
  void setSizeBarRanges(std::int32_t widthMaximum, std::int32_t heightMaximum) override;
  void showOptions(const OptionsState& options) override;
  void showSizeNumbers(std::int32_t width, std::int32_t height) override;
  void showSoundFile(const std::string& path) override;
  void setSoundChoiceEnabled(bool enabled) override;
  void showMuteChoices(MuteChoice start, MuteChoice end) override;
  void showPreview(const std::string& path) override;
  void closeDialog() override;
  void entryAppended(const std::string& text) override;
  void entryRemoved(std::size_t index) override;
  void entriesCleared() override;
  void selectionChanged(std::optional<std::size_t> index) override;
  void labelsChanged(const std::string& count, const std::string& name) override;

  HWND owner_;
  MessageBoxes& boxes_;
  std::function<MediaBackend&()> mediaBackend_;
  std::unique_ptr<FileDialogs> chooser_;
  std::unique_ptr<DesktopLauncher> opener_;
  std::unique_ptr<ProgressDialog> progress_;
  std::unique_ptr<OptionsController> controller_;
  std::unique_ptr<VideoSoundDialog> videoSoundDialog_;
  AboutBox* aboutBox_ = nullptr;

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
  HWND everyMonitorBox = nullptr;
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

}  // namespace windows_desktop
}  // namespace quorrel
