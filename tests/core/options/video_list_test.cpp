#include "options/video_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "options/dialog_texts.h"
#include "options/video_formats.h"
#include "settings/settings_file.h"
#include "system/file_system.h"
#include "tests/core/options/option_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::DefaultSettingsText;

// A list loaded the way the dialog loads it.
class VideoListEditing : public ::testing::Test {
 protected:
  void SetUp() override { list.setFileAccess(files); }
  void open(const std::string& text) {
    test::WriteFile(path, text);
    list.resetSlots();
    SettingsFile file(path);
    for (int n = 1; n <= kSlotCount; ++n) list.videoSlots()[n] = file.readText("VidConfig", SlotKey(n), " ");
    list.fillFromSlots();
    list.updateVideoLabels();
  }
  std::string slot(int n) { return SettingsFile(path).readText("vidConfig", SlotKey(n), "<missing>"); }
  std::vector<std::string> fileList() {
    std::vector<std::string> videos;
    for (int n = 1; n <= kSlotCount; ++n) {
      if (const auto text = slot(n); text != "Null") videos.push_back(text);
    }
    return videos;
  }

  test::TempDir dir;
  std::string path = dir.file("quorrel4.ini");
  test::RecordingBoxes boxes;
  test::FakeChooser chooser;
  test::StandInFiles files;
  VideoList list{path, boxes, test::kTestVideoExtensions};
};

TEST_F(VideoListEditing, addsTakeTheLowestFreeSlotButStandLastInTheList) {
  open(DefaultSettingsText());
  EXPECT_TRUE(list.storeInFreeSlot("/v/one.avi", true));
  EXPECT_TRUE(list.storeInFreeSlot("/v/two.avi", true));
  EXPECT_TRUE(list.storeInFreeSlot("/v/three.avi", true));
  EXPECT_EQ(slot(1), "/v/one.avi");
  EXPECT_EQ(slot(2), "/v/two.avi");
  list.selectVideo(1);
  list.removeSelectedVideo();
  EXPECT_EQ(slot(2), "Null");
  list.storeInFreeSlot("/v/four.avi", true);
  EXPECT_EQ(slot(2), "/v/four.avi");
  EXPECT_EQ(list.entries(), (std::vector<std::string>{"/v/one.avi", "/v/three.avi", "/v/four.avi"}));
  // The next opening shows the slot order.
  open(test::ReadFile(path));
  EXPECT_EQ(list.entries(), (std::vector<std::string>{"/v/one.avi", "/v/four.avi", "/v/three.avi"}));
}

TEST_F(VideoListEditing, labelsShowTheCountAndTheFirstEntryAfterEveryEdit) {
  open(DefaultSettingsText());
  EXPECT_EQ(list.countLabel(), "");
  EXPECT_EQ(list.nameLabel(), "");
  list.storeInFreeSlot("/v/first.avi", true);
  list.storeInFreeSlot("/v/second.mpg", true);
  EXPECT_EQ(list.countLabel(), "Total Videos = 2");
  EXPECT_EQ(list.nameLabel(), "Video: first.avi");
  EXPECT_EQ(list.selected(), 0u);
  list.selectVideo(1);
  EXPECT_EQ(list.nameLabel(), "Video: second.mpg");
  EXPECT_EQ(list.countLabel(), "Total Videos = 2");
  list.removeSelectedVideo();
  EXPECT_EQ(list.nameLabel(), "Video: first.avi");
  EXPECT_EQ(list.countLabel(), "Total Videos = 1");
}

TEST_F(VideoListEditing, theSameFileTwiceTakesTwoSlotsAndRemovingEitherEmptiesTheLower) {
  open(DefaultSettingsText({"/v/a.avi", "/v/same.avi", "/v/same.avi"}));
  list.selectVideo(2);
  list.removeSelectedVideo();
  EXPECT_EQ(slot(2), "Null");
  EXPECT_EQ(slot(3), "/v/same.avi");
  EXPECT_EQ(list.entries(), (std::vector<std::string>{"/v/a.avi", "/v/same.avi"}));
}

TEST_F(VideoListEditing, aFullListRefusesWithOneConfirmAndStillRemembersTheFolder) {
  std::vector<std::string> videos(1000, "/v/x.avi");
  open(DefaultSettingsText(videos));
  chooser.videoAnswers.push_back("/elsewhere/new.avi");
  list.addVideo(chooser);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, MessageKind::Confirm);
  EXPECT_EQ(boxes.shown[0].second, kListFullText);
  EXPECT_EQ(list.entries().size(), 1000u);
  EXPECT_EQ(slot(1000), "/v/x.avi");
  EXPECT_EQ(SettingsFile(path).readText("History", "Last Dir", ""), "/elsewhere/");
  EXPECT_FALSE(list.storeInFreeSlot("/v/quiet.avi", false));
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(VideoListEditing, emptyListMessagesChangeNothing) {
  open(DefaultSettingsText());
  test::FakeOpener opener;
  list.removeVideo();
  EXPECT_FALSE(list.videoToPreview().has_value());
  list.clearList();
  list.openSelectedVideo(opener);
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(MessageKind::Information, std::string(kNoItemsText)));
  EXPECT_EQ(boxes.shown[1], std::make_pair(MessageKind::Information, std::string(kNoItemsText)));
  EXPECT_EQ(boxes.shown[2], std::make_pair(MessageKind::Plain, std::string(kNoVideosToClearText)));
  EXPECT_TRUE(opener.opened.empty());
}

TEST_F(VideoListEditing, aMissingSlotKeyShowsAsAnEmptyEntryThatCanBeRemoved) {
  std::string text = DefaultSettingsText({"/v/a.avi", "/v/b.avi"});
  text.erase(text.find("Name2=/v/b.avi\n"), std::string("Name2=/v/b.avi\n").size());
  open(text);
  EXPECT_EQ(list.entries(), (std::vector<std::string>{"/v/a.avi", ""}));
  list.selectVideo(1);
  list.removeSelectedVideo();
  EXPECT_EQ(slot(2), "Null");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VideoListEditing, anEntryNoLongerInTheFileGetsTheErrorAndStays) {
  open(DefaultSettingsText({"/v/a.avi"}));
  SettingsFile(path).writeText("VidConfig", "Name1", "/v/changed-elsewhere.avi");
  list.removeSelectedVideo();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(MessageKind::Error, std::string(kRemoveNotFoundText)));
  EXPECT_EQ(list.entries().size(), 1u);
}

TEST_F(VideoListEditing, clearEmptiesEverySlotAndTheLabels) {
  open(DefaultSettingsText({"/v/a.avi", "/v/b.avi"}));
  list.clearList();
  EXPECT_TRUE(fileList().empty());
  EXPECT_TRUE(list.entries().empty());
  EXPECT_EQ(list.countLabel(), "");
  EXPECT_EQ(list.nameLabel(), "");
  EXPECT_TRUE(list.storeInFreeSlot("/v/c.avi", true));
  EXPECT_EQ(slot(1), "/v/c.avi");
}

TEST_F(VideoListEditing, aRefusedWriteLeavesListSlotsAndLastDirAsTheyWere) {
  open(DefaultSettingsText({"/v/a.avi"}));
  list.setSettingsPath(dir.file("no-such-folder/quorrel4.ini"));
  chooser.videoAnswers.push_back("/v/new.avi");
  EXPECT_THROW(list.addVideo(chooser), SettingsWriteError);
  EXPECT_EQ(list.entries(), std::vector<std::string>{"/v/a.avi"});
  EXPECT_EQ(list.videoSlots()[2], "Null");
  EXPECT_EQ(list.countLabel(), "Total Videos = 1");
}

TEST_F(VideoListEditing, aPathTheFileCannotGiveBackWholeIsRefusedBeforeAnythingIsWritten) {
  open(DefaultSettingsText());
  const std::string before = test::ReadFile(path);
  // A line break would split the line; a path longer than a read returns
  // would come back cut, so the show and "Remove Video" would not find it.
  const std::string tooLong = "/v/" + std::string(2041, 'n') + ".avi";
  chooser.videoAnswers = {"/v/two\nlines.avi", tooLong};
  list.addVideo(chooser);
  list.addVideo(chooser);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0], std::make_pair(MessageKind::Warning, std::string(kUnstorableNameText)));
  EXPECT_EQ(boxes.shown[1], std::make_pair(MessageKind::Warning, std::string(kTooLongPathText)));
  EXPECT_EQ(test::ReadFile(path), before);
  EXPECT_TRUE(list.entries().empty());
  // The longest path that reads back whole is taken.
  chooser.videoAnswers = {"/v/" + std::string(2040, 'n') + ".avi"};
  list.addVideo(chooser);
  EXPECT_EQ(slot(1), "/v/" + std::string(2040, 'n') + ".avi");
}

// The chooser takes any typed name and may give back another than the one
// typed (it drops quotes): a video that is not there, or that the user may
// not read, is refused by name, and nothing changes, "Last Dir" included.
TEST_F(VideoListEditing, aMissingOrUnreadableVideoIsRefusedByNameAndNothingChanges) {
  open(DefaultSettingsText({"/v/a.avi"}));
  const std::string before = test::ReadFile(path);
  files.missing.insert("/d/q.mp4");
  files.unreadable.insert("/d/locked.mp4");
  chooser.videoAnswers = {"/d/q.mp4", "/d/locked.mp4"};
  list.addVideo(chooser);
  list.addVideo(chooser);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0],
            std::make_pair(MessageKind::Warning,
                           std::string("The video file /d/q.mp4 does not exist, so it was not added to your list.")));
  EXPECT_EQ(boxes.shown[1],
            std::make_pair(MessageKind::Warning,
                           std::string("The video file /d/locked.mp4 cannot be read, so it was not added to your list.")));
  EXPECT_EQ(test::ReadFile(path), before);
  EXPECT_EQ(list.entries(), std::vector<std::string>{"/v/a.avi"});
  EXPECT_EQ(list.countLabel(), "Total Videos = 1");
  chooser.videoAnswers = {"/d/fine.mp4"};
  list.addVideo(chooser);
  EXPECT_EQ(slot(2), "/d/fine.mp4");
  EXPECT_EQ(SettingsFile(path).readText("History", "Last Dir", ""), "/d/");
}

TEST_F(VideoListEditing, bytesThatAreNotUtf8AreStoredAndReadBackUnchanged) {
  open(DefaultSettingsText());
  const std::string name = "/v/caf\xe9-\xff\xfe.avi";
  chooser.videoAnswers.push_back(name);
  list.addVideo(chooser);
  EXPECT_EQ(slot(1), name);
  open(test::ReadFile(path));
  EXPECT_EQ(list.entries(), std::vector<std::string>{name});
  EXPECT_EQ(list.nameLabel(), "Video: caf\xe9-\xff\xfe.avi");
}

TEST_F(VideoListEditing, lastDirKeepsItsSeparatorInTheFileButNotForTheChooser) {
  open(DefaultSettingsText());
  EXPECT_EQ(list.loadLastDir(), "");
  list.saveLastDir("/home/u/Videos/clip.avi");
  EXPECT_EQ(SettingsFile(path).readText("History", "Last Dir", ""), "/home/u/Videos/");
  EXPECT_EQ(list.loadLastDir(), "/home/u/Videos");
  list.saveLastDir("/clip.avi");
  EXPECT_EQ(list.loadLastDir(), "/");
}

TEST_F(VideoListEditing, doubleClickHandsTheSelectedPathToTheDesktop) {
  open(DefaultSettingsText({"/v/a.avi", "/v/b.avi"}));
  test::FakeOpener opener;
  opener.succeeds = false;
  list.selectVideo(1);
  list.openSelectedVideo(opener);
  EXPECT_EQ(opener.opened, std::vector<std::string>{"/v/b.avi"});
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(list.videoToPreview(), std::optional<std::string>("/v/b.avi"));
}

class FolderAdd : public VideoListEditing {
 protected:
  void touch(const std::string& name) { test::WriteFile(videos.file(name), "x"); }
  test::TempDir videos;
  test::FakeProgress progress;
};

TEST_F(FolderAdd, addsVideoFilesInNameOrderWithoutSubfoldersAndRemembersTheFolder) {
  open(DefaultSettingsText());
  for (const char* name : {"b.MPG", "a.avi", "c.Mpeg", "d.mov", "e.wmv", "f.mpe", "notes.txt", "g.mp4", "mpg"}) touch(name);
  std::filesystem::create_directory(videos.file("sub.avi"));
  test::WriteFile(videos.file("sub.avi/inner.avi"), "x");
  chooser.folderAnswers.push_back(videos.path());
  const auto result = list.addEntireFolder(chooser, progress);
  EXPECT_EQ(result.added, 6u);
  const std::string p = videos.path() + kPathSeparator;
  EXPECT_EQ(fileList(), (std::vector<std::string>{p + "a.avi", p + "b.MPG", p + "c.Mpeg", p + "d.mov", p + "e.wmv",
                                                  p + "f.mpe"}));
  EXPECT_EQ(list.entries().size(), 6u);
  EXPECT_EQ(SettingsFile(path).readText("History", "Last Dir", ""), p);
  EXPECT_EQ(progress.total, 6u);
  EXPECT_EQ(progress.ended, 1);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FolderAdd, aFullListIsReportedOnceAndTheRestIsLeftOut) {
  open(DefaultSettingsText(std::vector<std::string>(998, "/v/x.avi")));
  for (int i = 0; i < 5; ++i) touch("clip" + std::to_string(i) + ".avi");
  const auto result = list.addFolder(videos.path(), progress);
  EXPECT_EQ(result.added, 2u);
  EXPECT_TRUE(result.listFull);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, MessageKind::Confirm);
  EXPECT_EQ(slot(1000), videos.file("clip1.avi"));
}

TEST_F(FolderAdd, cancellingKeepsExactlyTheVideosAddedBeforeInTheFileAndTheList) {
  open(DefaultSettingsText({"/v/kept.avi"}));
  std::vector<std::string> names;
  for (int i = 100; i < 220; ++i) {
    names.push_back(videos.file("clip" + std::to_string(i) + ".avi"));
    test::WriteFile(names.back(), "x");
  }
  // A cancel in the middle of the second batch written to the file.
  progress.cancelAt = 73;
  const auto result = list.addFolder(videos.path(), progress);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(result.added, 73u);
  std::vector<std::string> expected = {"/v/kept.avi"};
  expected.insert(expected.end(), names.begin(), names.begin() + 73);
  EXPECT_EQ(fileList(), expected);
  EXPECT_EQ(list.entries(), expected);
  EXPECT_EQ(list.countLabel(), "Total Videos = 74");
  EXPECT_EQ(progress.ended, 1);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FolderAdd, namesWithLineBreaksOrTooLongAreSkippedWithOneWarning) {
  open(DefaultSettingsText());
  // A folder whose own path is nearly as long as a stored text may be.
  std::string deep = videos.path();
  while (deep.size() < 1990) deep += "/" + std::string(std::min<std::size_t>(200, 1990 - deep.size()), 'd');
  std::filesystem::create_directories(deep);
  for (const std::string& name : std::vector<std::string>{"good.avi", "bad\nname.avi", std::string(80, 'l') + ".avi"}) {
    test::WriteFile(deep + "/" + name, "x");
  }
  const auto result = list.addFolder(deep, progress);
  EXPECT_EQ(result.added, 1u);
  EXPECT_EQ(result.skipped, 2u);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, kUnstorableFolderNamesText);
  EXPECT_EQ(fileList(), std::vector<std::string>{deep + "/good.avi"});
}

TEST_F(FolderAdd, aFolderWithoutVideosSaysSoAndWritesNothing) {
  open(DefaultSettingsText());
  touch("readme.txt");
  const std::string before = test::ReadFile(path);
  const auto result = list.addFolder(videos.path(), progress);
  EXPECT_EQ(result.found, 0u);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, kNoVideosInFolderText);
  EXPECT_EQ(test::ReadFile(path), before);
}

TEST_F(FolderAdd, aFolderThatCannotBeReadSaysSoRatherThanThatItHoldsNoVideos) {
  open(DefaultSettingsText());
  touch("a.avi");
  files.unreadableFolders.insert(videos.path());
  const std::string before = test::ReadFile(path);
  chooser.folderAnswers.push_back(videos.path());
  const auto result = list.addEntireFolder(chooser, progress);
  EXPECT_TRUE(result.folderUnreadable);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            std::make_pair(MessageKind::Warning,
                           "The folder " + videos.path() + " cannot be read, so no videos were added from it."));
  EXPECT_EQ(test::ReadFile(path), before);
  EXPECT_EQ(progress.begun, 0);
}

TEST_F(FolderAdd, videosThatCannotBeReadAreLeftOutAndCounted) {
  open(DefaultSettingsText());
  for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"}) touch(name);
  files.unreadable = {videos.file("b.avi"), videos.file("d.avi")};
  auto result = list.addFolder(videos.path(), progress);
  EXPECT_EQ(result.added, 3u);
  EXPECT_EQ(result.unreadable, 2u);
  const std::vector<std::string> readable = {videos.file("a.avi"), videos.file("c.avi"), videos.file("e.avi")};
  EXPECT_EQ(fileList(), readable);
  EXPECT_EQ(list.entries(), readable);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            std::make_pair(MessageKind::Warning, std::string("2 video files in this folder cannot be read, so they "
                                                             "were not added to your list.")));
  EXPECT_EQ(SettingsFile(path).readText("History", "Last Dir", ""), videos.path() + kPathSeparator);

  open(DefaultSettingsText());
  boxes.shown.clear();
  files.unreadable = {videos.file("c.avi")};
  result = list.addFolder(videos.path(), progress);
  EXPECT_EQ(result.added, 4u);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, "1 video file in this folder cannot be read, so it was not added to your list.");
}

TEST(VideoFileNames, theChooserStartsWithEveryPlayableVideoAndKeepsItsFiveEntries) {
  const VideoExtensions playable = {"mp4", "mkv", "avi"};
  const std::vector<VideoFilter> filters = VideoChooserFilters(playable);
  ASSERT_EQ(filters.size(), 6u);
  EXPECT_EQ(filters[0].name, "All Videos");
  EXPECT_EQ(filters[0].extensions, playable);
  EXPECT_EQ(filters[1].name, "MPEG AVI MOV WMV");
  EXPECT_EQ(filters[1].extensions, test::kTestVideoExtensions);
  EXPECT_EQ(filters[5].name, "WMV");
  for (const char* name : {"a.mp4", "a.MKV", "b.Avi", ".mp4x.mp4"}) EXPECT_TRUE(HasVideoExtension(name, playable)) << name;
  for (const char* name : {"a.mp4x", "mp4", "amp4", "a.avi.txt", "a.wav"}) {
    EXPECT_FALSE(HasVideoExtension(name, playable)) << name;
  }
}

}  // namespace
}  // namespace quorrel
