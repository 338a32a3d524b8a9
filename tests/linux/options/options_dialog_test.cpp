#include <sys/stat.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <cstring>

#include "linux/options/about_box.h"
#include "linux/options/dialog_look.h"
#include "linux/options/video_sound_dialog.h"
#include "options/dialog_texts.h"
#include "options/video_list.h"
#include "tests/linux/options/dialog_fixture.h"

namespace quorrel::linux_desktop {
namespace {

using test::DefaultSettingsText;
using OptionsDialog = test::DialogTest;

std::string withOptions(const std::string& optionsLines) {
  const std::string text = DefaultSettingsText();
  return "[Options]\n" + optionsLines + text.substr(text.find("[vidConfig]"));
}

int screenHeight() { return QGuiApplication::primaryScreen()->geometry().height(); }

TEST_F(OptionsDialog, controlsStandWhereTheLayoutPutsThem) {
  auto& dialog = open();
  EXPECT_EQ(dialog.windowTitle(), "Quorrel Options");
  EXPECT_EQ(dialog.size(), QSize(642, 477));
  EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(232, 231, 230));
  EXPECT_EQ(dialog.videoListBox->geometry(), QRect(1, 37, 640, 100));
  EXPECT_EQ(dialog.previewButton->geometry(), QRect(560, 15, 75, 24));
  EXPECT_EQ(dialog.previewButton->parentWidget(), dialog.videoFilesGroup);
  EXPECT_EQ(dialog.heightBar->geometry(), QRect(108, 43, 74, 13));
  EXPECT_EQ(dialog.okButton->geometry(), QRect(537, 455, 102, 21));
  EXPECT_EQ(dialog.okButton->toolTip(), "Exit the software");
  EXPECT_TRUE(dialog.okButton->isDefault());
  EXPECT_EQ(dialog.chooseSoundButton->text(), "Add a Sound File ");
  EXPECT_EQ(dialog.addFolderButton->toolTip(), "Add an entire folder of videos at once");
  EXPECT_EQ(dialog.naturalSizeButton->font().family(), "Arial");
  EXPECT_EQ(dialog.naturalSizeButton->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_TRUE(dialog.videoListBox->font().bold());
  EXPECT_FALSE(dialog.soundFileBox->isEnabled());
  EXPECT_TRUE(dialog.customSizeGroup->isEnabled());
  EXPECT_EQ(dialog.widthBar->minimum(), 25);
  EXPECT_EQ(dialog.heightBar->maximum(), screenHeight());
}

// The check box is the user's: a click or the space bar checks it, "OK"
// writes it, and a dialog where it was never touched leaves the key as the
// file holds it, missing or odd.
TEST_F(OptionsDialog, everyMonitorBoxLoadsSavesAndLeavesAnUntouchedKeyAlone) {
  {
    auto& dialog = open(withOptions("Picdis=2\nAllscreens=1\n"));
    EXPECT_EQ(dialog.everyMonitorBox->text(), "Play videos on every monitor");
    EXPECT_EQ(dialog.everyMonitorBox->geometry(), QRect(10, 417, 240, 17));
    // Its caption fits inside it.
    EXPECT_LE(dialog.everyMonitorBox->sizeHint().width(), dialog.everyMonitorBox->width());
    EXPECT_TRUE(dialog.everyMonitorBox->isChecked());
    QTest::mouseClick(dialog.everyMonitorBox, Qt::LeftButton);
    EXPECT_FALSE(dialog.everyMonitorBox->isChecked());
    dialog.saveAndClose();
    EXPECT_EQ(read("Options", "Allscreens"), "0");
  }
  for (const char* stored : {"", "Allscreens=yes\n", "Allscreens=0\n"}) {
    SCOPED_TRACE(stored);
    auto& dialog = open(withOptions(std::string("Picdis=2\n") + stored));
    EXPECT_FALSE(dialog.everyMonitorBox->isChecked());
    dialog.saveAndClose();
    const std::string before = *stored == 0 ? "<absent>" : std::string(stored).substr(11, std::strlen(stored) - 12);
    EXPECT_EQ(read("Options", "Allscreens"), before);
  }
  auto& dialog = open();
  dialog.everyMonitorBox->setFocus();
  QTest::keyClick(dialog.everyMonitorBox, Qt::Key_Space);
  EXPECT_TRUE(dialog.everyMonitorBox->isChecked());
  dialog.saveAndClose();
  EXPECT_EQ(read("Options", "Allscreens"), "1");
  EXPECT_EQ(read("Options", "Picdis"), "5");
}

// "Start the show after" N "minutes of inactivity": loaded from the file,
// the number box usable only while the box is checked, both written by
// "OK", which starts the idle watcher only with the box checked.
TEST_F(OptionsDialog, idleStartBoxAndMinutesLoadSaveAndStartTheWatcherOnlyWhenChecked) {
  {
    auto& dialog = open(withOptions("Picdis=2\nIdlestart=1\nIdleminutes=9\n"));
    EXPECT_EQ(dialog.idleStartBox->text(), "Start the show after");
    EXPECT_EQ(dialog.idleMinutesCaption->text(), "minutes of inactivity");
    for (QWidget* control : std::initializer_list<QWidget*>{dialog.idleStartBox, dialog.idleMinutesCaption}) {
      EXPECT_LE(control->sizeHint().width(), control->width()) << "a caption is cut";
    }
    EXPECT_GT(dialog.idleMinutesBox->x(), dialog.idleStartBox->geometry().right());
    EXPECT_GT(dialog.idleMinutesCaption->x(), dialog.idleMinutesBox->geometry().right());
    EXPECT_TRUE(dialog.idleStartBox->isChecked());
    EXPECT_TRUE(dialog.idleMinutesBox->isEnabled());
    EXPECT_EQ(dialog.idleMinutesBox->value(), 9);
    // A digit that would take the number past 120 is refused as it is typed.
    dialog.idleMinutesBox->selectAll();
    QTest::keyClicks(dialog.idleMinutesBox, "500");
    EXPECT_EQ(dialog.idleMinutesBox->value(), 50);
    dialog.saveAndClose();
    EXPECT_EQ(read("Options", "Idlestart"), "1");
    EXPECT_EQ(read("Options", "Idleminutes"), "50");
    EXPECT_EQ(idleWatcher.starts, 1);
  }
  {
    // Keys a user mistyped read as off and 5; cleared, nothing is started.
    auto& dialog = open(withOptions("Picdis=2\nIdlestart=on\nIdleminutes=0\n"));
    EXPECT_FALSE(dialog.idleStartBox->isChecked());
    EXPECT_FALSE(dialog.idleMinutesBox->isEnabled());
    EXPECT_EQ(dialog.idleMinutesBox->value(), 5);
    QTest::mouseClick(dialog.idleStartBox, Qt::LeftButton);
    EXPECT_TRUE(dialog.idleMinutesBox->isEnabled());
    QTest::mouseClick(dialog.idleStartBox, Qt::LeftButton);
    dialog.saveAndClose();
    EXPECT_EQ(read("Options", "Idlestart"), "0");
    EXPECT_EQ(read("Options", "Idleminutes"), "5");
    EXPECT_EQ(idleWatcher.starts, 1);
  }
}

TEST_F(OptionsDialog, freshDefaultsSelectDefaultsAndDisableTheSoundButtons) {
  auto& dialog = open();
  EXPECT_TRUE(dialog.naturalSizeButton->isChecked());
  EXPECT_TRUE(dialog.inSequenceButton->isChecked());
  EXPECT_TRUE(dialog.soundOffButton->isChecked());
  EXPECT_TRUE(dialog.repeatOffButton->isChecked());
  EXPECT_EQ(dialog.widthLabel->text(), "100");
  EXPECT_EQ(dialog.heightLabel->text(), "100");
  EXPECT_EQ(dialog.widthBar->value(), 100);
  EXPECT_FALSE(dialog.soundOnButton->isEnabled());
  EXPECT_FALSE(dialog.soundOffButton->isEnabled());
  EXPECT_EQ(dialog.soundFileBox->text(), "");
  EXPECT_EQ(dialog.controller().options().startOn, MuteChoice::LeaveAlone);
  EXPECT_EQ(dialog.controller().options().endOn, MuteChoice::LeaveAlone);
  EXPECT_EQ(dialog.videoListBox->count(), 0);
  EXPECT_EQ(dialog.videoCountLabel->text(), "");
}

TEST_F(OptionsDialog, okWritesTheOptionsAndClosesTheDialog) {
  auto& dialog = open();
  dialog.mediumSizeButton->setChecked(true);
  dialog.randomButton->setChecked(true);
  dialog.saveAndClose();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(read("Options", "Picdis"), "2");
  EXPECT_EQ(read("Options", "Picord"), "1");
  EXPECT_EQ(read("Options", "Sound"), "0");
  EXPECT_EQ(read("Options", "Height"), "100");
  EXPECT_EQ(read("Options", "Status"), "0");
  EXPECT_EQ(read("WavConfig", "Name1"), "");
  EXPECT_EQ(read("Options", "Starton"), "<absent>");
  EXPECT_EQ(dialog.videoSoundDialog(), nullptr);
}

TEST_F(OptionsDialog, sizeLabelsKeepTheirRulesThroughASave) {
  auto& dialog = open(withOptions("Height=5000\nWidth=10\n"));
  EXPECT_EQ(dialog.heightLabel->text(), "5000");
  EXPECT_EQ(dialog.heightBar->value(), screenHeight());
  EXPECT_EQ(dialog.widthLabel->text(), "25");
  EXPECT_EQ(dialog.widthBar->value(), 25);
  dialog.saveAndClose();
  EXPECT_EQ(read("Options", "Height"), "5000");
  EXPECT_EQ(read("Options", "Width"), "25");
}

TEST_F(OptionsDialog, movingABarShowsAndSavesItsPosition) {
  auto& dialog = open();
  dialog.widthBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  dialog.widthBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  dialog.heightBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(dialog.widthLabel->text(), "102");
  EXPECT_EQ(dialog.heightLabel->text(), "99");
  dialog.saveAndClose();
  EXPECT_EQ(read("Options", "Width"), "102");
  EXPECT_EQ(read("Options", "Height"), "99");
}

TEST_F(OptionsDialog, aChosenSoundFileEnablesTheSoundButtonsButKeepsSoundOff) {
  auto& dialog = open();
  chooser.soundAnswers.push_back("/music/theme.mid");
  dialog.chooseSoundFile();
  EXPECT_TRUE(dialog.soundOnButton->isEnabled());
  EXPECT_TRUE(dialog.soundOffButton->isChecked());
  EXPECT_EQ(dialog.soundFileBox->text(), "/music/theme.mid");
  dialog.saveAndClose();
  EXPECT_EQ(read("Options", "Sound"), "0");
  EXPECT_EQ(read("WavConfig", "Name1"), "/music/theme.mid");
}

TEST_F(OptionsDialog, aSoundFileWithALineBreakIsRefusedAtOnce) {
  auto& dialog = open();
  chooser.soundAnswers.push_back("/music/two\nlines.wav");
  dialog.chooseSoundFile();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, kUnstorableNameText);
  EXPECT_EQ(dialog.soundFileBox->text(), "");
  EXPECT_FALSE(dialog.soundOnButton->isEnabled());
}

TEST_F(OptionsDialog, missingSoundKeysSelectSoundOnWithTheButtonsDisabled) {
  std::string text = withOptions("Repeat=1\n");
  text = text.substr(0, text.find("[WavConfig]"));
  auto& dialog = open(text);
  EXPECT_TRUE(dialog.soundOnButton->isChecked());
  EXPECT_TRUE(dialog.repeatOnButton->isChecked());
  EXPECT_FALSE(dialog.soundOnButton->isEnabled());
  EXPECT_EQ(dialog.soundFileBox->text(), "");
}

TEST_F(OptionsDialog, videoSoundChoicesLiveInTheSubDialogUntilOk) {
  auto& dialog = open(withOptions("Starton=1\nEndon=0\n"));
  auto* sound = dialog.videoSoundDialog();
  EXPECT_TRUE(sound->unmuteAtStartButton->isChecked());
  EXPECT_TRUE(sound->muteAtEndButton->isChecked());
  test::OnNextModal([](QWidget* modal) {
    auto* frm = qobject_cast<VideoSoundDialog*>(modal);
    ASSERT_NE(frm, nullptr);
    frm->clearChoices();
    frm->muteAtStartButton->click();
    frm->returnButton->click();
  });
  dialog.showVideoSoundDialog();
  EXPECT_FALSE(sound->isVisible());
  EXPECT_TRUE(sound->muteAtStartButton->isChecked());
  EXPECT_EQ(read("Options", "Starton"), "1");
  dialog.saveAndClose();
  EXPECT_EQ(read("Options", "Starton"), "0");
  EXPECT_EQ(read("Options", "Endon"), "0");
}

TEST_F(OptionsDialog, clearedVideoSoundChoicesDeleteBothKeys) {
  auto& dialog = open(withOptions("Starton=2\nEndon=1\n"));
  EXPECT_EQ(dialog.controller().options().startOn, MuteChoice::LeaveAlone);
  test::OnNextModal([](QWidget* modal) {
    auto* frm = qobject_cast<VideoSoundDialog*>(modal);
    ASSERT_NE(frm, nullptr);
    frm->clearButton->click();
    frm->close();
  });
  dialog.showVideoSoundDialog();
  dialog.saveAndClose();
  EXPECT_EQ(read("Options", "Starton"), "<absent>");
  EXPECT_EQ(read("Options", "Endon"), "<absent>");
}

TEST_F(OptionsDialog, enterOutsideAnyButtonSavesAndCloses) {
  auto& dialog = open();
  dialog.smallSizeButton->click();
  dialog.smallSizeButton->setFocus();
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(read("Options", "Picdis"), "3");
}

TEST_F(OptionsDialog, escapeDoesNotCloseTheDialog) {
  auto& dialog = open();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(OptionsDialog, aReadOnlyFileStopsOkThroughTheErrorReportAndTheDialogStaysOpen) {
  auto& dialog = open();
  const std::string before = test::ReadFile(settingsPath());
  ::chmod(settingsPath().c_str(), 0444);
  QString reported;
  test::OnNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    reported = box->text();
    box->accept();
  });
  // A real click goes through the application's notify(), where the error
  // is caught and reported.
  QTest::mouseClick(dialog.okButton, Qt::LeftButton);
  ::chmod(settingsPath().c_str(), 0644);
  EXPECT_EQ(reported.toStdString(), "Unable to write to " + settingsPath() + ".");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(test::ReadFile(settingsPath()), before);
  dialog.saveAndClose();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(OptionsDialog, aboutBoxShowsTheSameTextsEachTimeAndHides) {
  auto& dialog = open();
  AboutBox about;
  dialog.setAboutBox(&about);
  for (int time = 0; time < 2; ++time) {
    QString version;
    test::OnNextModal([&](QWidget* modal) {
      auto* box = qobject_cast<AboutBox*>(modal);
      ASSERT_NE(box, nullptr);
      version = box->versionLabel->text();
      EXPECT_EQ(box->disclaimerStart->geometry(), QRect(12, 16, 405, 65));
      EXPECT_EQ(box->size(), QSize(514, 336));
      EXPECT_EQ(box->windowTitle(), "Quorrel Displayer");
      box->returnButton->click();
    });
    dialog.showAboutBox();
    EXPECT_EQ(version, "Version 3.26");
    EXPECT_FALSE(about.isVisible());
  }
  EXPECT_TRUE(about.disclaimerMiddle->text().startsWith("particular purpose"));
}

TEST_F(OptionsDialog, moreSoftwareAndSupportPointAtTheDocumentation) {
  auto& dialog = open();
  test::WriteFile(home.file("README.md"), "# Quorrel\n");
  dialog.showMoreSoftware();
  ASSERT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(opener.opened[0], home.file("README.md"));
  EXPECT_EQ(boxes.shown.size(), 1u);
  opener.succeeds = false;
  dialog.showMoreSoftware();
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_NE(boxes.shown[2].second.find(home.file("README.md")), std::string::npos);
  dialog.showSupport();
  EXPECT_EQ(boxes.shown.back().first, MessageKind::Plain);
  EXPECT_NE(boxes.shown.back().second.find(home.file("README.md")), std::string::npos);
}

TEST(DialogPlace, aWindowLargerThanTheWorkAreaKeepsToIt) {
  test::App();
  // As the options dialog is at 200 % on a 1280-pixel-wide monitor: wider
  // than the monitor, and here taller too.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget window;
  window.setFixedSize(area.width() + 4, area.height() + 40);
  CentreOnScreen(&window);
  EXPECT_TRUE(area.contains(window.geometry())) << window.geometry().x() << ", " << window.geometry().width();
  // One that fits stands in the middle.
  QWidget small;
  small.setFixedSize(200, 100);
  CentreOnScreen(&small);
  EXPECT_EQ(small.geometry().center(), area.center());
}

}  // namespace
}  // namespace quorrel::linux_desktop
