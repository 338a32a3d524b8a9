#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "linux/options/option_services.h"
#include "linux/options/preview_window.h"
#include "options/video_list.h"
#include "options/dialog_texts.h"
#include "settings/settings_file.h"
#include "tests/core/media/fake_media.h"
#include "tests/linux/options/dialog_fixture.h"

namespace quorrel::linux_desktop {
namespace {

using test::DefaultSettingsText;

// The rest of a test as an ordinary user, whom permissions stop: when the
// tests run as root (as CI does), with the effective user and group of the
// user that tools/desktop.sh names in QUORREL_TEST_USER (or "nobody"), and
// back to root at its end; otherwise as the user who runs them.
class AsOrdinaryUser {
 public:
  // `paths` become that user's own first, so the dialog can use them.
  explicit AsOrdinaryUser(const std::vector<std::string>& paths) {
    if (::geteuid() != 0) return;
    const char* named = std::getenv("QUORREL_TEST_USER");
    const passwd* user = ::getpwnam(named != nullptr && *named != '\0' ? named : "nobody");
    if (user == nullptr) throw std::runtime_error("no ordinary user to run as");
    const auto give = [user](const std::string& path) {
      if (::lchown(path.c_str(), user->pw_uid, user->pw_gid) != 0) throw std::runtime_error("cannot hand over " + path);
    };
    for (const std::string& path : paths) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) give(entry.path());
      give(path);
    }
    if (::setegid(user->pw_gid) != 0 || ::seteuid(user->pw_uid) != 0) throw std::runtime_error("cannot switch user");
    switched_ = true;
  }
  ~AsOrdinaryUser() {
    if (switched_ && (::seteuid(0) != 0 || ::setegid(0) != 0)) std::abort();
  }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

 private:
  bool switched_ = false;
};

// A file or folder nobody but root may read while this lives.
class Locked {
 public:
  explicit Locked(std::string path) : path_(std::move(path)) { ::chmod(path_.c_str(), 0); }
  ~Locked() { ::chmod(path_.c_str(), 0755); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  std::string path_;
};

class ListDialog : public test::DialogTest {
 protected:
  std::vector<std::string> itemBytes() const {
    std::vector<std::string> items;
    for (int row = 0; row < form->videoListBox->count(); ++row) {
      items.push_back(form->videoListBox->item(row)->data(Qt::UserRole).toByteArray().toStdString());
    }
    return items;
  }
  std::string slot(int n) const { return read("vidConfig", SlotKey(n).c_str()); }
  // A video file that is there, as "Add Video" requires.
  std::string videoFile(const std::string& name) const {
    const std::string path = videos.file(name);
    if (!std::filesystem::exists(path)) test::WriteFile(path, "x");
    return path;
  }

  test::TempDir videos;
};

TEST_F(ListDialog, openingListsTheSlotsInOrderAndSelectsTheFirst) {
  std::string text = DefaultSettingsText({"/v/a.avi", "Null", "/v/c.avi"});
  auto& dialog = open(text);
  EXPECT_EQ(itemBytes(), (std::vector<std::string>{"/v/a.avi", "/v/c.avi"}));
  EXPECT_EQ(dialog.videoListBox->currentRow(), 0);
  EXPECT_EQ(dialog.videoListBox->visualItemRect(dialog.videoListBox->item(1)).height(), 14);
  EXPECT_EQ(dialog.videoCountLabel->text(), "Total Videos = 2");
  EXPECT_EQ(dialog.videoNameLabel->text(), "Video: a.avi");
}

TEST_F(ListDialog, addRemoveAndClearReachTheFileAndTheListBoxAtOnce) {
  auto& dialog = open(DefaultSettingsText({"/v/a.avi", "/v/b.avi", "/v/c.avi"}));
  dialog.videoListBox->setCurrentRow(1);
  EXPECT_EQ(dialog.videoNameLabel->text(), "Video: b.avi");
  dialog.removeVideo();
  EXPECT_EQ(slot(2), "Null");
  chooser.videoAnswers.push_back(videoFile("new.avi"));
  dialog.addVideo();
  EXPECT_EQ(slot(2), videoFile("new.avi"));
  EXPECT_EQ(itemBytes(), (std::vector<std::string>{"/v/a.avi", "/v/c.avi", videoFile("new.avi")}));
  EXPECT_EQ(dialog.videoNameLabel->text(), "Video: a.avi");
  EXPECT_EQ(read("History", "Last Dir"), videos.path() + "/");
  dialog.clearList();
  EXPECT_EQ(dialog.videoListBox->count(), 0);
  EXPECT_EQ(dialog.videoCountLabel->text(), "");
  EXPECT_EQ(slot(1), "Null");
  EXPECT_EQ(slot(3), "Null");
}

TEST_F(ListDialog, aNameThatIsNotUtf8KeepsItsBytesInTheItem) {
  auto& dialog = open();
  const std::string name = videoFile("\xe9t\xe9-\xff.avi");
  chooser.videoAnswers.push_back(name);
  dialog.addVideo();
  EXPECT_EQ(itemBytes(), std::vector<std::string>{name});
  EXPECT_EQ(slot(1), name);
  dialog.openSelectedVideo();
  EXPECT_EQ(opener.opened, std::vector<std::string>{name});
}

TEST_F(ListDialog, aRefusedAddLeavesTheListBoxAndLabelsAsTheyWere) {
  auto& dialog = open(DefaultSettingsText({"/v/a.avi"}));
  const std::string before = test::ReadFile(settingsPath());
  ::chmod(settingsPath().c_str(), 0444);
  chooser.videoAnswers.push_back(videoFile("b.avi"));
  EXPECT_THROW(dialog.addVideo(), SettingsWriteError);
  ::chmod(settingsPath().c_str(), 0644);
  EXPECT_EQ(dialog.videoListBox->count(), 1);
  EXPECT_EQ(dialog.videoCountLabel->text(), "Total Videos = 1");
  EXPECT_EQ(test::ReadFile(settingsPath()), before);
  chooser.videoAnswers.push_back(videoFile("b.avi"));
  dialog.addVideo();
  EXPECT_EQ(slot(2), videoFile("b.avi"));
}

TEST_F(ListDialog, doubleClickOpensTheEntryWithTheDesktop) {
  auto& dialog = open(DefaultSettingsText({"/v/a.avi", "/v/b.avi"}));
  const QRect second = dialog.videoListBox->visualItemRect(dialog.videoListBox->item(1));
  // A double-click arrives after the first click's press and release.
  QTest::mouseClick(dialog.videoListBox->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mousePress(dialog.videoListBox->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseDClick(dialog.videoListBox->viewport(), Qt::LeftButton, {}, second.center());
  EXPECT_EQ(opener.opened, std::vector<std::string>{"/v/b.avi"});
}

TEST_F(ListDialog, addEntireFolderTakesEveryVideoThePlayerPlaysAndRemembersTheFolder) {
  auto& dialog = open(DefaultSettingsText({"/v/a.avi"}));
  test::TempDir videos;
  // A phone's and a camera's files, in every letter case, beside a text
  // file and a folder whose name looks like a video.
  for (const char* name : {"phone.mp4", "camera.MOV", "film.mkv", "web.webm", "clip.m4v", "old.avi", "notes.txt"}) {
    test::WriteFile(videos.file(name), "x");
  }
  std::filesystem::create_directory(videos.file("more.mp4"));
  test::WriteFile(videos.file("more.mp4/inner.mp4"), "x");
  chooser.folderAnswers.push_back(videos.path());
  dialog.addEntireFolder();
  EXPECT_EQ(itemBytes(), (std::vector<std::string>{"/v/a.avi", videos.file("camera.MOV"), videos.file("clip.m4v"),
                                                   videos.file("film.mkv"), videos.file("old.avi"),
                                                   videos.file("phone.mp4"), videos.file("web.webm")}));
  EXPECT_EQ(dialog.videoCountLabel->text(), "Total Videos = 7");
  EXPECT_EQ(read("History", "Last Dir"), videos.path() + "/");
}

// As a user whom permissions stop: a video or a folder that user may not
// read gets a message that says so, and a typed name whose quotes the
// chooser dropped names no file and is refused, not stored.
TEST_F(ListDialog, videosAndFoldersTheUserMayNotReadAreRefusedWithTheirOwnMessages) {
  writeSettings(DefaultSettingsText());
  for (const char* name : {"open.avi", "locked.avi", "locked.mp4", "\"q\".mp4"}) test::WriteFile(videos.file(name), "x");
  std::filesystem::create_directory(videos.file("private"));
  test::WriteFile(videos.file("private/inside.avi"), "x");
  const Locked lockedAvi(videos.file("locked.avi"));
  const Locked lockedMp4(videos.file("locked.mp4"));
  const Locked lockedFolder(videos.file("private"));
  {
    const AsOrdinaryUser user({home.path(), videos.path()});
    auto& dialog = openAsItIs();
    chooser.videoAnswers = {videos.file("locked.avi"), videos.file("q.mp4")};
    dialog.addVideo();
    dialog.addVideo();
    chooser.folderAnswers = {videos.file("private"), videos.path()};
    dialog.addEntireFolder();
    dialog.addEntireFolder();
  }
  ASSERT_EQ(boxes.shown.size(), 4u);
  EXPECT_EQ(boxes.shown[0].second,
            "The video file " + videos.file("locked.avi") + " cannot be read, so it was not added to your list.");
  EXPECT_EQ(boxes.shown[1].second,
            "The video file " + videos.file("q.mp4") + " does not exist, so it was not added to your list.");
  EXPECT_EQ(boxes.shown[2].second,
            "The folder " + videos.file("private") + " cannot be read, so no videos were added from it.");
  EXPECT_EQ(boxes.shown[3].second,
            "2 video files in this folder cannot be read, so they were not added to your list.");
  for (const auto& [kind, text] : boxes.shown) EXPECT_EQ(kind, MessageKind::Warning) << text;
  EXPECT_EQ(itemBytes(), (std::vector<std::string>{videos.file("\"q\".mp4"), videos.file("open.avi")}));
  EXPECT_EQ(slot(1), videos.file("\"q\".mp4"));
  EXPECT_EQ(slot(3), "Null");
}

TEST_F(ListDialog, theVideoChooserOpensOnAllVideosAndListsAnMp4File) {
  test::TempDir videos;
  for (const char* name : {"phone.mp4", "notes.txt"}) test::WriteFile(videos.file(name), "x");
  std::string text = DefaultSettingsText();
  text += "[History]\nLast Dir=" + videos.path() + "/\n";
  writeSettings(text);
  // The dialog's own chooser, as "Add Video" opens it for the user.
  OptionsDialogServices services;
  services.boxes = &boxes;
  services.settings = SettingsLocationIn(home.path());
  form = std::make_unique<OptionsDialog>(services);
  form->show();
  QStringList listed;
  QString filter;
  test::OnNextModal([&](QWidget* modal) {
    auto* chooser = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(chooser, nullptr);
    filter = chooser->selectedNameFilter();
    // The dialog lists the folder once its model has read it.
    for (int attempt = 0; attempt < 200 && listed.isEmpty(); ++attempt) {
      QTest::qWait(20);
      for (auto* view : chooser->findChildren<QAbstractItemView*>()) {
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
          listed << view->model()->index(row, 0, root).data().toString();
        }
        if (!listed.isEmpty()) break;
      }
    }
    chooser->reject();
  });
  QTest::mouseClick(form->addVideoButton, Qt::LeftButton);
  EXPECT_TRUE(filter.startsWith("All Videos (*.mp4 ")) << filter.toStdString();
  EXPECT_TRUE(listed.contains("phone.mp4")) << listed.join(", ").toStdString();
  EXPECT_FALSE(listed.contains("notes.txt"));
  EXPECT_EQ(form->videoListBox->count(), 0);
}

TEST_F(ListDialog, theChoosersOpenInTheFolderLastUsedElseTheVideosFolderElseHome) {
  // The user's folders, as XDG user dirs names them in the configuration
  // home; the list has no folder of its own yet.
  test::TempDir desk;
  const std::string films = desk.file("Films");
  const std::string other = desk.file("Other");
  std::filesystem::create_directories(films);
  std::filesystem::create_directories(other);
  test::WriteFile(other + "/clip.avi", "x");
  const std::string userDirs = desk.file("user-dirs.dirs");
  test::WriteFile(userDirs, "XDG_VIDEOS_DIR=\"" + films + "\"\n");
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  const std::string savedConfigHome = configHome != nullptr ? configHome : "";
  setenv("XDG_CONFIG_HOME", desk.path().c_str(), 1);
  writeSettings(DefaultSettingsText());
  OptionsDialogServices services;
  services.boxes = &boxes;
  services.settings = SettingsLocationIn(home.path());
  const auto openedIn = [&](QPushButton* button, const std::string& choose) {
    QString folder;
    test::OnNextModal([&](QWidget* modal) {
      auto* chooser = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(chooser, nullptr);
      folder = chooser->directory().absolutePath();
      if (choose.empty()) {
        chooser->reject();
      } else {
        chooser->selectFile(QString::fromStdString(choose));
        QMetaObject::invokeMethod(chooser, "accept");
      }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return folder.toStdString();
  };

  form = std::make_unique<OptionsDialog>(services);
  form->show();
  EXPECT_EQ(openedIn(form->addVideoButton, other + "/clip.avi"), films);
  // The sound chooser opens where the user went last.
  EXPECT_EQ(openedIn(form->chooseSoundButton, ""), other);

  // The list keeps the folder for the next dialog; on fresh settings and
  // without a Videos folder, home.
  form.reset();
  writeSettings(DefaultSettingsText());
  std::filesystem::remove(films);
  form = std::make_unique<OptionsDialog>(services);
  form->show();
  EXPECT_EQ(openedIn(form->chooseSoundButton, ""), QDir::homePath().toStdString());
  setenv("XDG_CONFIG_HOME", savedConfigHome.c_str(), 1);
}

TEST_F(ListDialog, previewPlaysTheSelectedEntryInItsOwnWindow) {
  test::FakeBackend backend;
  mediaBackend = [&backend]() -> MediaBackend& { return backend; };
  open(DefaultSettingsText({"/v/a.avi", "/v/b.avi"}));
  form->videoListBox->setCurrentRow(1);
  bool checked = false;
  form->onPreviewShown = [&](PreviewWindow& preview) {
    EXPECT_EQ(preview.windowTitle(), "Preview Video");
    EXPECT_EQ(preview.videoPanel->geometry(), QRect(16, 8, 433, 297));
    EXPECT_EQ(preview.pathLabel->text(), "/v/b.avi");
    EXPECT_NE(preview.player().display(), 0u);
    test::OnNextModal([&](QWidget* modal) {
      auto* window = qobject_cast<PreviewWindow*>(modal);
      ASSERT_NE(window, nullptr);
      window->playButton->click();
      EXPECT_EQ(backend.log.lastFile, "/v/b.avi");
      EXPECT_EQ(window->player().mode(), PlayerMode::Playing);
      window->returnButton->click();
      EXPECT_EQ(backend.log.stops, 1);
      checked = true;
    });
  };
  form->previewVideo();
  EXPECT_TRUE(checked);
}

TEST_F(ListDialog, aBigFolderShowsAProgressDialogThatCanBeCancelled) {
  auto& dialog = open();
  ProgressDialog small(&dialog);
  small.begin(ProgressDialog::kShownAbove);
  EXPECT_EQ(dialog.findChild<QProgressDialog*>(), nullptr);
  small.end();
  ProgressDialog big(&dialog);
  big.begin(ProgressDialog::kShownAbove + 1);
  auto* progressDialog = dialog.findChild<QProgressDialog*>();
  ASSERT_NE(progressDialog, nullptr);
  EXPECT_TRUE(progressDialog->isVisible());
  EXPECT_TRUE(big.advance(1));
  progressDialog->cancel();
  test::SleepFor(std::chrono::milliseconds(30));
  EXPECT_FALSE(big.advance(2));
  big.end();
  EXPECT_EQ(dialog.findChild<QProgressDialog*>(), nullptr);
}

TEST_F(ListDialog, emptyListButtonsOnlyShowTheirMessages) {
  auto& dialog = open();
  dialog.removeVideo();
  dialog.previewVideo();
  dialog.clearList();
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[1].second, kNoItemsText);
  EXPECT_EQ(boxes.shown[2].second, kNoVideosToClearText);
}

TEST(ChosenPath, aNameThatIsNotUtf8KeepsItsBytesFromTheChooser) {
  test::TempDir dir;
  const std::string folder = dir.path() + "/Vid\xE9os";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string file = folder + "/caf\xE9\xFF.avi";
  test::WriteFile(file, "x");
  // The dialog hands back what Qt shows: replacement characters.
  const QString shown = PathText(file);
  ASSERT_NE(PathBytes(shown), file);
  EXPECT_EQ(ChosenPathBytes(shown), file);
  // A typed name of a file that does not exist is taken as typed.
  EXPECT_EQ(ChosenPathBytes(PathText(folder) + "/new.avi"), PathBytes(PathText(folder)) + "/new.avi");
  EXPECT_EQ(ChosenPathBytes(QString::fromUtf8(dir.path() + "/plain.avi")), dir.path() + "/plain.avi");
}

}  // namespace
}  // namespace quorrel::linux_desktop
