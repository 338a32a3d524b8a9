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

namespace win {

class TFrmSound;
class Tfrmdisc;
class WinFileChooser;
class ShellDesktopOpener;
class WinTaskProgress;

// "Quorrel Options": the video list, whose edits go to the settings file
// at once, and the options, which "OK" saves before the dialog closes. The
// list's rules are the core's VideoList; this window only shows them.
class TForm2 : public Window, private VideoListView {
 public:
  // Sets up the data folder and loads the settings file; throws when the
  // file can neither be found nor made.
  TForm2(SettingsLocation settings, MessageBoxes& boxes, std::function<MediaBackend&()> mediaBackend,
         std::string executableFolder);
  ~TForm2() override;

  void setAboutBox(Tfrmdisc* box) { aboutBox_ = box; }
  void show();

  void FormCreate();
  void LoadOptions();
  void ScrollBar1Scroll();
  void ScrollBar2Scroll();
  void cmdwavClick();
  void CmdexitClick();
  void cmdhelpClick();
  void CmdSoundClick();
  void button4Click();
  void BitBtn1Click();
  void CmdPreviewClick();
  void ListBox1Click();

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
  std::unique_ptr<WinFileChooser> chooser_;
  std::unique_ptr<ShellDesktopOpener> opener_;
  std::unique_ptr<WinTaskProgress> progress_;
  VideoList list_;
  std::unique_ptr<TFrmSound> frmSound_;
  Tfrmdisc* aboutBox_ = nullptr;
  // The numbers the size labels show, and the sound file box's text.
  std::int32_t width_ = OptionsState::kMinimumVideoSide;
  std::int32_t height_ = OptionsState::kMinimumVideoSide;
  std::string soundFile_;
  std::set<HWND> navy_;

  HWND ListBox1 = nullptr;
  HWND Lblcount = nullptr;
  HWND LblVidName = nullptr;
  HWND Radpicdef = nullptr;
  HWND radpicl = nullptr;
  HWND radpicm = nullptr;
  HWND radpics = nullptr;
  HWND Radpicc = nullptr;
  HWND ScrollBar1 = nullptr;
  HWND ScrollBar2 = nullptr;
  HWND Lblwidth = nullptr;
  HWND Lblheight = nullptr;
  HWND RadioButton2 = nullptr;
  HWND RadioButton1 = nullptr;
  HWND edwav = nullptr;
  HWND radsndon = nullptr;
  HWND radsndof = nullptr;
  HWND radrepon = nullptr;
  HWND radrepoff = nullptr;
  RadioGroup sizeGroup_;
  RadioGroup orderGroup_;
  RadioGroup soundGroup_;
  RadioGroup repeatGroup_;
};

// Control identifiers of the options dialog; "OK" is IDOK, so that Enter
// presses it.
enum Form2Control : int {
  kButton2 = 201,
  kCmdAddEntire,
  kCmdClearList,
  kButton3,
  kCmdSound,
  kCmdPreview,
  kListBox1,
  kCmdwav,
  kBitBtn1,
  kButton4,
  kCmdhelp,
};

}  // namespace win
}  // namespace quorrel
