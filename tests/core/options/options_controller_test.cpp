#include "options/options_controller.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "options/dialog_texts.h"
#include "settings/settings_file.h"
#include "settings/settings_text.h"
#include "tests/core/options/option_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

// Keeps what the controller last told the dialog to show.
class FakeOptionsView : public OptionsView {
 public:
  void setSizeBarRanges(std::int32_t width, std::int32_t height) override { barMaximum = {width, height}; }
  void showOptions(const OptionsState& options) override { shown = options; }
  void showSizeNumbers(std::int32_t width, std::int32_t height) override { numbers = {width, height}; }
  void showSoundFile(const std::string& path) override { soundFile = path; }
  void setSoundChoiceEnabled(bool enabled) override { soundChoiceEnabled = enabled; }
  void showMuteChoices(MuteChoice start, MuteChoice end) override { muteChoices = {start, end}; }
  void showPreview(const std::string& path) override { previewed.push_back(path); }
  void closeDialog() override { closed = true; }
  void entryAppended(const std::string& text) override { entries.push_back(text); }
  void entryRemoved(std::size_t index) override { entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index)); }
  void entriesCleared() override { entries.clear(); }
  void selectionChanged(std::optional<std::size_t> index) override { selected = index; }
  void labelsChanged(const std::string& count, const std::string&) override { countLabel = count; }

  std::pair<std::int32_t, std::int32_t> barMaximum{}, numbers{};
  std::optional<OptionsState> shown;
  std::string soundFile;
  bool soundChoiceEnabled = true;
  std::pair<MuteChoice, MuteChoice> muteChoices{};
  std::vector<std::string> previewed;
  bool closed = false;
  std::vector<std::string> entries;
  std::optional<std::size_t> selected;
  std::string countLabel;
};

class OptionsControllerTest : public ::testing::Test {
 protected:
  void SetUp() override { controller.videoList().setFileAccess(files); }
  OptionsController& open(const std::string& optionsLines, const std::vector<std::string>& videos = {}) {
    std::string text = test::DefaultSettingsText(videos);
    text = "[Options]\n" + optionsLines + text.substr(text.find("[vidConfig]"));
    std::filesystem::create_directories(location.DataFolder);
    test::WriteFile(location.SettingsFileName, text);
    controller.load(1024, 768);
    return controller;
  }
  std::string read(const std::string& section, const std::string& key) {
    return SettingsFile(location.SettingsFileName).readText(section, key, "<absent>");
  }

  test::TempDir dir;
  SettingsLocation location = SettingsLocationIn(dir.path());
  test::RecordingBoxes boxes;
  test::FakeChooser chooser;
  test::FakeOpener opener;
  test::FakeProgress progress;
  FakeOptionsView view;
  test::StandInFiles files;
  OptionsController controller{
      OptionsServices{location, boxes, chooser, opener, progress, dir.path(), test::kTestVideoExtensions}, view};
};

TEST_F(OptionsControllerTest, loadingShowsTheStoredOptionsTheListAndWhatMayBeChanged) {
  open("Sound=1\nRepeat=0\nPicdis=3\nPicord=1\nHeight=5000\nWidth=10\nStarton=1\n", {"/v/a.avi", "/v/b.avi"});
  ASSERT_TRUE(view.shown);
  EXPECT_EQ(view.shown->size, VideoSizeMode::Small);
  EXPECT_EQ(view.shown->order, VideoOrder::Random);
  EXPECT_EQ(view.shown->sound, OnOffChoice::On);
  EXPECT_EQ(view.shown->repeat, OnOffChoice::Off);
  // A stored size above the screen stays; one below the bars' minimum reads as it.
  EXPECT_EQ(view.shown->height, 5000);
  EXPECT_EQ(view.shown->width, 25);
  EXPECT_EQ(view.barMaximum, std::make_pair(1024, 768));
  EXPECT_EQ(view.shown->startOn, MuteChoice::Unmute);
  EXPECT_EQ(view.shown->endOn, MuteChoice::LeaveAlone);
  EXPECT_EQ(view.entries, (std::vector<std::string>{"/v/a.avi", "/v/b.avi"}));
  EXPECT_EQ(view.selected, 0u);
  EXPECT_EQ(view.countLabel, "Total Videos = 2");
  // The default file's sound slot is "Null": sound on and off cannot be changed.
  EXPECT_FALSE(view.soundChoiceEnabled);
  controller.saveAndClose();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(read("Options", "Height"), "5000");
  EXPECT_EQ(read("Options", "Width"), "25");
  EXPECT_EQ(read("Options", "Picdis"), "3");
  EXPECT_EQ(read("Options", "Starton"), "1");
}

TEST_F(OptionsControllerTest, theUsersChoicesAreWhatOkSaves) {
  open("Sound=0\nRepeat=0\nPicdis=5\nPicord=2\nHeight=100\nWidth=100\n");
  controller.chooseSize(VideoSizeMode::Custom);
  controller.chooseOrder(VideoOrder::Random);
  controller.chooseRepeat(true);
  controller.widthBarMoved(640);
  controller.heightBarMoved(480);
  EXPECT_EQ(view.numbers, std::make_pair(640, 480));
  chooser.soundAnswers.push_back("/music/theme.mid");
  controller.chooseSoundFile();
  EXPECT_TRUE(view.soundChoiceEnabled);
  EXPECT_EQ(view.soundFile, "/music/theme.mid");
  EXPECT_EQ(controller.options().sound, OnOffChoice::Off);
  controller.chooseStartMute(MuteChoice::Mute);
  controller.saveAndClose();
  EXPECT_EQ(read("Options", "Picdis"), "4");
  EXPECT_EQ(read("Options", "Picord"), "1");
  EXPECT_EQ(read("Options", "Repeat"), "1");
  EXPECT_EQ(read("Options", "Sound"), "0");
  EXPECT_EQ(read("Options", "Width"), "640");
  EXPECT_EQ(read("Options", "Height"), "480");
  EXPECT_EQ(read("WavConfig", "Name1"), "/music/theme.mid");
  EXPECT_EQ(read("Options", "Starton"), "0");
}

TEST_F(OptionsControllerTest, clearedMuteChoicesDeleteBothKeysAndOneLaterChoiceKeepsTheOther) {
  open("Starton=1\nEndon=0\n");
  controller.clearMuteChoices();
  EXPECT_EQ(view.muteChoices, std::make_pair(MuteChoice::LeaveAlone, MuteChoice::LeaveAlone));
  controller.saveAndClose();
  EXPECT_EQ(read("Options", "Starton"), "<absent>");
  EXPECT_EQ(read("Options", "Endon"), "<absent>");

  open("Starton=1\nEndon=0\n");
  controller.clearMuteChoices();
  controller.chooseStartMute(MuteChoice::Mute);
  controller.saveAndClose();
  EXPECT_EQ(read("Options", "Starton"), "0");
  EXPECT_EQ(read("Options", "Endon"), "0");
}

TEST_F(OptionsControllerTest, aRefusedSaveKeepsTheDialogOpenAndPreviewNeedsAnEntry) {
  open("");
  controller.previewVideo();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].second, kNoItemsText);
  EXPECT_TRUE(view.previewed.empty());

  chooser.videoAnswers.push_back("/v/c.avi");
  controller.addVideo();
  controller.previewVideo();
  EXPECT_EQ(view.previewed, (std::vector<std::string>{"/v/c.avi"}));

  namespace fs = std::filesystem;
  const auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(location.SettingsFileName, writable, fs::perm_options::remove);
  EXPECT_THROW(controller.saveAndClose(), SettingsWriteError);
  EXPECT_FALSE(view.closed);
  fs::permissions(location.SettingsFileName, fs::perms::owner_write, fs::perm_options::add);
}

// A file stored in UTF-16 big-endian shows what it holds, and a save keeps
// it in that encoding.
TEST_F(OptionsControllerTest, aUtf16BigEndianFileShowsItsSettingsAndKeepsItsEncoding) {
  std::string text = test::DefaultSettingsText({"/v/a.avi", "/v/b.avi"});
  text.replace(text.find("Picdis=5"), 8, "Picdis=3");
  std::filesystem::create_directories(location.DataFolder);
  test::WriteFile(location.SettingsFileName, "\xFE\xFF" + Utf8ToUtf16Be(text));
  controller.load(1024, 768);
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_TRUE(view.shown);
  EXPECT_EQ(view.shown->size, VideoSizeMode::Small);
  EXPECT_EQ(view.entries, (std::vector<std::string>{"/v/a.avi", "/v/b.avi"}));
  controller.chooseOrder(VideoOrder::Random);
  controller.saveAndClose();
  EXPECT_TRUE(view.closed);
  const std::string saved = test::ReadFile(location.SettingsFileName);
  const StoredText decoded = DecodeSettingsText(saved);
  EXPECT_EQ(decoded.encoding, TextEncoding::Utf16Be);
  EXPECT_EQ(saved, "\xFE\xFF" + Utf8ToUtf16Be(decoded.text));
  EXPECT_EQ(read("Options", "Picord"), "1");
  EXPECT_EQ(read("vidConfig", "Name2"), "/v/b.avi");
}

// A file in an encoding that is not read: the dialog says so once, as it
// opens, and neither a list edit nor "OK" writes into it.
TEST_F(OptionsControllerTest, aFileInAnEncodingThatIsNotReadIsReportedOnceAndLeftAsItWas) {
  std::filesystem::create_directories(location.DataFolder);
  const std::string stored = Utf8ToUtf16Le(test::DefaultSettingsText({"/v/a.avi"}));
  test::WriteFile(location.SettingsFileName, stored);
  controller.load(1024, 768);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0],
            std::make_pair(MessageKind::Warning, UnreadableSettingsFileText(location.SettingsFileName)));
  EXPECT_TRUE(view.entries.empty());
  test::WriteFile(dir.file("clip.avi"), "x");
  chooser.videoAnswers.push_back(dir.file("clip.avi"));
  EXPECT_THROW(controller.addVideo(), SettingsWriteError);
  EXPECT_THROW(controller.saveAndClose(), SettingsWriteError);
  EXPECT_FALSE(view.closed);
  EXPECT_TRUE(view.entries.empty());
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(test::ReadFile(location.SettingsFileName), stored);
}

}  // namespace
}  // namespace quorrel
