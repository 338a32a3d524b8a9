#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "options/options_model.h"
#include "options/video_list.h"
#include "settings/data_folder.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace quorrel {

class MessageBoxes;
class MediaBackend;
class FileChooser;
class DesktopOpener;
class TaskProgress;
class TFrmSound;
class Tfrmdisc;

// What the options dialog asks of the world outside it. The choosers, the
// desktop and the progress display default to Qt's own when left null;
// tests put fakes in their place.
struct ConfigServices {
  MessageBoxes* boxes = nullptr;
  FileChooser* chooser = nullptr;
  DesktopOpener* opener = nullptr;
  TaskProgress* progress = nullptr;
  // The process's one media back end, made when the first preview needs it.
  std::function<MediaBackend&()> mediaBackend;
  // The folder holding the executable, where the documentation is looked for.
  std::string executableFolder;
  // Where the settings file lives.
  SettingsLocation settings;
};

// "Quorrel Options": the video list, whose edits go to the settings file at
// once, and the options, which "OK" saves before the dialog closes.
class TForm2 : public QDialog, private VideoListView {
  Q_OBJECT
 public:
  explicit TForm2(ConfigServices services);
  ~TForm2() override;

  // The About box the configuration mode made after this dialog.
  void setAboutBox(Tfrmdisc* box);

  [[nodiscard]] VideoList& videoList() { return list_; }
  [[nodiscard]] TFrmSound* soundDialog() const;
  // The options as the controls hold them now.
  [[nodiscard]] OptionsState currentOptions() const;

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
  void Button2Click();
  void CmdAddEntireClick();
  void CmdClearListClick();
  void Button3Click();
  void CmdPreviewClick();
  void ListBox1Click();
  void ListBox1DblClick();

  // Called on every preview window before it is shown modally (tests use
  // it to drive the window; the dialog itself needs nothing from it).
  std::function<void(class TFrmviddis&)> onPreviewShown;

  QLabel* Label3;
  QListWidget* ListBox1;
  QGroupBox* GroupBox2;
  QPushButton* Button2;
  QPushButton* CmdAddEntire;
  QPushButton* CmdClearList;
  QPushButton* Button3;
  QPushButton* CmdSound;
  QPushButton* CmdPreview;
  QLabel* Lblcount;
  QLabel* LblVidName;
  QGroupBox* GroupBox6;
  QRadioButton* Radpicdef;
  QRadioButton* radpicl;
  QRadioButton* radpicm;
  QRadioButton* radpics;
  QRadioButton* Radpicc;
  QGroupBox* Groupcust;
  QLabel* Label2;
  QLabel* Label1;
  QScrollBar* ScrollBar1;
  QScrollBar* ScrollBar2;
  QLabel* Lblwidth;
  QLabel* Lblheight;
  QGroupBox* GroupBox5;
  QRadioButton* RadioButton2;
  QRadioButton* RadioButton1;
  QGroupBox* GroupBox4;
  QLineEdit* edwav;
  QPushButton* cmdwav;
  QRadioButton* radsndon;
  QRadioButton* radsndof;
  QGroupBox* GroupBox3;
  QRadioButton* radrepon;
  QRadioButton* radrepoff;
  QPushButton* BitBtn1;
  QPushButton* button4;
  QPushButton* cmdhelp;
  QPushButton* Cmdexit;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildControls();
  void connectHandlers();
  void applyOptions(const OptionsState& state);
  [[nodiscard]] std::string settingsPath() const;

  // VideoListView: the list box follows the list one change at a time.
  void entryAppended(const std::string& text) override;
  void entryRemoved(std::size_t index) override;
  void entriesCleared() override;
  void selectionChanged(std::optional<std::size_t> index) override;
  void labelsChanged(const std::string& count, const std::string& name) override;

  ConfigServices services_;
  std::unique_ptr<FileChooser> ownChooser_;
  std::unique_ptr<DesktopOpener> ownOpener_;
  std::unique_ptr<TaskProgress> ownProgress_;
  VideoList list_;
  QPointer<TFrmSound> frmSound_;
  QPointer<Tfrmdisc> aboutBox_;
  std::string soundFileBytes_;
  bool followingList_ = false;
};

}  // namespace quorrel
