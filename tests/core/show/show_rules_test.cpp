// The show's rules that need no player: reading the settings, placing the
// panel and choosing the next video.

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <string>

#include "settings/settings_file.h"
#include "show/random_pick.h"
#include "show/read_settings.h"
#include "show/video_panel.h"
#include "tests/core/show/show_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::TempDir;
using test::WriteFile;

class ReadSettingsTest : public ::testing::Test {
 protected:
  // Reads `ini` as the settings file into a fresh state.
  ShowState read(const std::string& ini) {
    WriteFile(dir.file("quorrel4.ini"), ini);
    ShowState state;
    ReadSettings(SettingsFile(dir.file("quorrel4.ini")), state, info);
    return state;
  }
  std::string video(const std::string& name) {
    const std::string path = dir.file(name);
    WriteFile(path, "video");
    return path;
  }
  // A video section in which only the given slots differ from "Null".
  static std::string videoSection(const std::map<int, std::string>& slots) {
    std::string text = "[vidConfig]\n";
    for (int n = 1; n <= 1000; ++n) {
      const auto found = slots.find(n);
      text += "Name" + std::to_string(n) + "=" + (found == slots.end() ? "Null" : found->second) + "\n";
    }
    return text;
  }

  TempDir dir;
  std::string info = kNoVideosText;
};

TEST_F(ReadSettingsTest, onlyZeroAndOneAreMuteChoices) {
  ShowState state = read("[Options]\nStarton=1\nEndon=0\n");
  EXPECT_EQ(state.StartMute, MuteChoice::Unmute);
  EXPECT_EQ(state.EndMute, MuteChoice::Mute);
  state = read("[Options]\nStarton=2\n");
  EXPECT_EQ(state.StartMute, MuteChoice::LeaveAlone);
  EXPECT_EQ(state.EndMute, MuteChoice::LeaveAlone);
  state = read("[Options]\nStarton=-1\nEndon=abc\n");
  EXPECT_EQ(state.StartMute, MuteChoice::LeaveAlone);
  EXPECT_EQ(state.EndMute, MuteChoice::LeaveAlone);
}

TEST_F(ReadSettingsTest, soundAndRepeatAreOnWhenMissingButNeedAnExistingFile) {
  const std::string wav = video("tone.wav");
  ShowState state = read("[WavConfig]\nName1=" + wav + "\n");
  EXPECT_TRUE(state.SoundOn);
  EXPECT_TRUE(state.RepeatSound);
  EXPECT_EQ(state.SoundFileName, wav);

  state = read("[Options]\nSound=1\nRepeat=0\n[WavConfig]\nName1=" + dir.file("gone.wav") + "\n");
  EXPECT_FALSE(state.SoundOn);
  EXPECT_FALSE(state.RepeatSound);

  // A folder is not a sound file.
  state = read("[Options]\nSound=1\n[WavConfig]\nName1=" + dir.path() + "\n");
  EXPECT_FALSE(state.SoundOn);
}

TEST_F(ReadSettingsTest, sizeAndOrderOutsideTheirValuesFallBack) {
  EXPECT_EQ(read("[Options]\nPicdis=3\nPicord=1\n").SizeMode, VideoSizeMode::Small);
  EXPECT_EQ(read("[Options]\nPicdis=1\n").SizeMode, VideoSizeMode::FullScreen);
  EXPECT_EQ(read("[Options]\nPicdis=0\n").SizeMode, VideoSizeMode::Natural);
  EXPECT_EQ(read("[Options]\nPicdis=7\n").SizeMode, VideoSizeMode::Natural);
  EXPECT_EQ(read("[Options]\nPicord=1\n").PlayOrder, VideoOrder::Random);
  EXPECT_EQ(read("[Options]\nPicord=0\n").PlayOrder, VideoOrder::InSequence);
  EXPECT_EQ(read("[Options]\nPicord=3\n").PlayOrder, VideoOrder::InSequence);
}

TEST_F(ReadSettingsTest, customSizeIsTakenWithoutRangeCheck) {
  ShowState state = read("[Options]\nHeight=-50\nWidth=0x64\n");
  EXPECT_EQ(state.CustomHeight, -50);
  EXPECT_EQ(state.CustomWidth, 100);
  state = read("");
  EXPECT_EQ(state.CustomHeight, -1);
  EXPECT_EQ(state.CustomWidth, -1);
}

TEST_F(ReadSettingsTest, emptySlotsInAnyLetterCaseAreSkipped) {
  const std::string first = video("one.avi");
  const std::string third = video("three.avi");
  const ShowState state = read(videoSection({{1, first}, {2, "nULl"}, {3, third}, {4, "NULL"}}));
  ASSERT_EQ(state.PlayListCount, 2);
  EXPECT_EQ(state.entry(1), first);
  EXPECT_EQ(state.entry(2), third);
  EXPECT_EQ(info, kNoVideosText);
}

TEST_F(ReadSettingsTest, aVanishedVideoEmptiesTheListAndIsNamed) {
  std::map<int, std::string> slots;
  for (int n = 1; n <= 4; ++n) slots[n] = video("v" + std::to_string(n) + ".avi");
  slots[5] = dir.file("deleted.avi");
  slots[6] = video("v6.avi");
  const ShowState state = read(videoSection(slots));
  EXPECT_EQ(state.PlayListCount, 0);
  EXPECT_TRUE(state.PlayList.empty());
  EXPECT_EQ(info, "File " + dir.file("deleted.avi") +
                      " no longer exists in this location on your system!  Please go into your screensaver "
                      "settings and remove this from your viewing list!");
}

TEST_F(ReadSettingsTest, aMissingVideoSectionReadsAsAVanishedFileWithoutName) {
  const ShowState state = read("[Options]\nSound=0\n");
  EXPECT_EQ(state.PlayListCount, 0);
  EXPECT_EQ(info.rfind("File  no longer exists", 0), 0U) << info;
}

TEST_F(ReadSettingsTest, slotsBeyondTheThousandthAreNeverRead) {
  std::string ini = videoSection({});
  ini += "Name1001=" + video("late.avi") + "\n";
  EXPECT_EQ(read(ini).PlayListCount, 0);
  EXPECT_EQ(info, kNoVideosText);
}

TEST(PanelPlacement, halvesRoundToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(341.5), 342);
  EXPECT_EQ(RoundHalfEven(342.5), 342);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
}

TEST(PanelPlacement, eachSizeModeOnAStandardScreen) {
  ShowState state;
  state.SizeMode = VideoSizeMode::FullScreen;
  EXPECT_EQ(VideoPanelPlace(state, 1024, 768), (Rect{0, 0, 1024, 768}));
  state.SizeMode = VideoSizeMode::Medium;
  EXPECT_EQ(VideoPanelPlace(state, 1024, 768), (Rect{256, 192, 512, 384}));
  state.SizeMode = VideoSizeMode::Small;
  EXPECT_EQ(VideoPanelPlace(state, 1024, 768), (Rect{384, 288, 256, 192}));
  state.SizeMode = VideoSizeMode::Custom;
  state.CustomWidth = 100;
  state.CustomHeight = 100;
  EXPECT_EQ(VideoPanelPlace(state, 1024, 768), (Rect{462, 334, 100, 100}));
  // The natural-size mode starts where the custom size would put it.
  state.SizeMode = VideoSizeMode::Natural;
  EXPECT_EQ(VideoPanelPlace(state, 1024, 768), (Rect{462, 334, 100, 100}));
}

TEST(PanelPlacement, smallPanelOnAWideScreenRoundsHalvesToEven) {
  ShowState state;
  state.SizeMode = VideoSizeMode::Small;
  EXPECT_EQ(VideoPanelPlace(state, 1366, 768), (Rect{512, 288, 342, 192}));
  state.SizeMode = VideoSizeMode::Medium;
  EXPECT_EQ(VideoPanelPlace(state, 1366, 768), (Rect{342, 192, 683, 384}));
}

TEST(PanelPlacement, aPanelLargerThanTheScreenStartsOffIt) {
  EXPECT_EQ(CentredPanel(1024, 768, 2000, 1000), (Rect{-488, -116, 2000, 1000}));
  EXPECT_EQ(CentredPanel(1024, 768, 320, 240), (Rect{352, 264, 320, 240}));
  EXPECT_EQ(CentredPanel(1024, 768, 0, 0), (Rect{512, 384, 0, 0}));
  EXPECT_EQ(CentredPanel(1024, 768, -1, -1), (Rect{512, 384, -1, -1}));
}

TEST(RandomOrder, generatorStepsAndScalesAsItAlwaysHas) {
  ShowRandom random(12345);
  EXPECT_EQ(random.draw(10), 3U);
  EXPECT_EQ(random.state(), 1655067934U);
  EXPECT_EQ(random.draw(10), 2U);
  EXPECT_EQ(random.draw(3), 0U);
  EXPECT_EQ(random.draw(1000), 553U);
  EXPECT_EQ(random.state(), 2377737157U);
}

TEST(RandomOrder, eachPickIsSeededAfreshFromTheClock) {
  ShowState state;
  state.PlayOrder = VideoOrder::Random;
  state.PlayListCount = 3;
  state.SequenceIndex = 2;
  test::FakeClock clock;
  const std::pair<std::uint32_t, std::int32_t> expected[] = {{0, 1}, {1000, 2}, {86399999, 3}, {1000, 2}};
  for (const auto& [milliseconds, index] : expected) {
    clock.milliseconds = milliseconds;
    PickNextVideo(state, clock);
    EXPECT_EQ(state.CurrentIndex, index) << milliseconds;
  }
  // The same moment picks the same video again: a video may follow itself.
  PickNextVideo(state, clock);
  EXPECT_EQ(state.CurrentIndex, 2);
  EXPECT_EQ(state.SequenceIndex, 2);
}

TEST(SequenceOrder, playsTheListFromItsStartAndWraps) {
  ShowState state;
  state.PlayListCount = 3;
  test::FakeClock clock;
  std::vector<std::int32_t> picked;
  for (int i = 0; i < 7; ++i) {
    PickNextVideo(state, clock);
    picked.push_back(state.CurrentIndex);
  }
  EXPECT_EQ(picked, (std::vector<std::int32_t>{1, 2, 3, 1, 2, 3, 1}));
  EXPECT_EQ(state.SequenceIndex, 1);

  state.PlayListCount = 1;
  PickNextVideo(state, clock);
  PickNextVideo(state, clock);
  EXPECT_EQ(state.CurrentIndex, 1);
}

TEST(RandomOrder, systemClockCountsUtcMillisecondsSinceMidnight) {
  const std::time_t before = std::time(nullptr);
  const std::uint32_t now = SystemUtcClock().millisecondsSinceMidnight();
  EXPECT_LT(now, 86400000U);
  const auto expectedSeconds = static_cast<std::uint32_t>(before % 86400);
  EXPECT_LE(now / 1000 - expectedSeconds, 1U);
}

}  // namespace
}  // namespace quorrel
