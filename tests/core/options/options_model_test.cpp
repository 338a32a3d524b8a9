#include "options/options_model.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/profile.h"
#include "settings/settings_file.h"
#include "tests/core/options/option_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::DefaultSettingsText;

class OptionsModel : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFile(path, DefaultSettingsText()); }
  void setOptions(const std::string& optionsLines) {
    std::string text = DefaultSettingsText();
    const auto end = text.find("[vidConfig]");
    text = "[Options]\n" + optionsLines + text.substr(end);
    test::WriteFile(path, text);
  }
  OptionsState load() { return LoadOptions(SettingsFile(path), slots); }

  test::TempDir dir;
  std::string path = dir.file("quorrel4.ini");
  VideoSlots slots;
};

TEST_F(OptionsModel, freshDefaultFileSelectsDefaultsAndNoMuteChoice) {
  const auto state = load();
  EXPECT_EQ(state.size, VideoSizeMode::Natural);
  EXPECT_EQ(state.order, VideoOrder::InSequence);
  EXPECT_EQ(state.sound, OnOffChoice::Off);
  EXPECT_EQ(state.repeat, OnOffChoice::Off);
  EXPECT_EQ(state.width, 100);
  EXPECT_EQ(state.height, 100);
  EXPECT_EQ(state.startOn, MuteChoice::LeaveAlone);
  EXPECT_EQ(state.endOn, MuteChoice::LeaveAlone);
  EXPECT_EQ(state.soundFile, "");
  EXPECT_EQ(slots[1000], "Null");
}

TEST_F(OptionsModel, okRightAfterDefaultsWritesTheFixedValuesAndNoMuteKeys) {
  SettingsFile file(path);
  file.writeNumber("Options", "Starton", 1);
  file.writeNumber("Options", "Endon", 0);
  auto state = load();
  state.startOn = MuteChoice::LeaveAlone;
  state.endOn = MuteChoice::LeaveAlone;
  SaveOptions(file, state);
  EXPECT_EQ(file.readText("Options", "Sound", "x"), "0");
  EXPECT_EQ(file.readText("Options", "Repeat", "x"), "0");
  EXPECT_EQ(file.readText("Options", "Picdis", "x"), "5");
  EXPECT_EQ(file.readText("Options", "Picord", "x"), "2");
  EXPECT_EQ(file.readText("Options", "Height", "x"), "100");
  EXPECT_EQ(file.readText("Options", "Width", "x"), "100");
  EXPECT_EQ(file.readText("Options", "Status", "x"), "0");
  EXPECT_EQ(file.readText("Options", "Color", "x"), "4");
  EXPECT_EQ(file.readText("WavConfig", "Name1", "x"), "");
  EXPECT_EQ(file.readText("Options", "Starton", "absent"), "absent");
  EXPECT_EQ(file.readText("Options", "Endon", "absent"), "absent");
}

TEST_F(OptionsModel, sizeBelowMinimumShowsAndSavesTwentyFiveButAboveScreenIsKept) {
  setOptions("Height=10\nWidth=5000\n");
  const auto state = load();
  EXPECT_EQ(state.height, 25);
  EXPECT_EQ(state.width, 5000);
  SettingsFile file(path);
  SaveOptions(file, state);
  EXPECT_EQ(file.readNumber("Options", "Height", 0), 25);
  EXPECT_EQ(file.readNumber("Options", "Width", 0), 5000);
}

TEST_F(OptionsModel, missingKeysReadAsTheirDefaults) {
  setOptions("Picdis=7\nPicord=3\nStarton=2\nHeight=0x40\n");
  const auto state = load();
  EXPECT_EQ(state.sound, OnOffChoice::On);
  EXPECT_EQ(state.repeat, OnOffChoice::On);
  EXPECT_EQ(state.size, VideoSizeMode::Natural);
  EXPECT_EQ(state.order, VideoOrder::InSequence);
  EXPECT_EQ(state.startOn, MuteChoice::LeaveAlone);
  EXPECT_EQ(state.width, 25);
  EXPECT_EQ(state.height, 64);
}

TEST_F(OptionsModel, everySizeAndOrderRoundTrips) {
  SettingsFile file(path);
  for (const auto size : {VideoSizeMode::FullScreen, VideoSizeMode::Medium, VideoSizeMode::Small, VideoSizeMode::Custom, VideoSizeMode::Natural}) {
    auto state = load();
    state.size = size;
    state.order = VideoOrder::Random;
    SaveOptions(file, state);
    EXPECT_EQ(load().size, size);
    EXPECT_EQ(load().order, VideoOrder::Random);
  }
  EXPECT_EQ(file.readNumber("Options", "Picord", 0), 1);
}

TEST_F(OptionsModel, oneMuteGroupChosenLeavesTheOtherKeyAsItWas) {
  setOptions("Starton=1\nEndon=1\n");
  auto state = load();
  EXPECT_EQ(state.startOn, MuteChoice::Unmute);
  EXPECT_EQ(state.endOn, MuteChoice::Unmute);
  state.startOn = MuteChoice::Mute;
  state.endOn = MuteChoice::LeaveAlone;
  SettingsFile file(path);
  SaveOptions(file, state);
  EXPECT_EQ(file.readNumber("Options", "Starton", -1), 0);
  EXPECT_EQ(file.readNumber("Options", "Endon", -1), 1);
}

TEST_F(OptionsModel, missingSoundSlotReadsAsEmptyAndAChosenPathIsSavedAsIs) {
  const std::string text = DefaultSettingsText();
  test::WriteFile(path, text.substr(0, text.find("[WavConfig]")));
  auto state = load();
  EXPECT_EQ(state.soundFile, "");
  state.soundFile = "/music/caf\xe9 tune.wav";
  SettingsFile file(path);
  SaveOptions(file, state);
  EXPECT_EQ(file.readText("WavConfig", "Name1", ""), "/music/caf\xe9 tune.wav");
  EXPECT_EQ(file.readFlag("Options", "Sound", true), false);
}

TEST_F(OptionsModel, refusedWriteStopsTheSaveWithTheStoresError) {
  auto state = load();
  SettingsFile missingFolder(dir.file("gone/quorrel4.ini"));
  EXPECT_THROW(SaveOptions(missingFolder, state), SettingsWriteError);
}

TEST_F(OptionsModel, everyMonitorIsOnOnlyForOneAndIsWrittenOnlyOnceChosen) {
  for (const auto& [stored, on] : std::vector<std::pair<std::string, bool>>{
           {"Allscreens=1\n", true}, {"Allscreens=0\n", false}, {"Allscreens=yes\n", false},
           {"Allscreens=2\n", false}, {"", false}}) {
    setOptions("Picdis=2\n" + stored);
    auto state = load();
    EXPECT_EQ(state.everyMonitor, on) << stored;
    // Untouched, the save leaves the key as the file has it, missing or odd.
    SettingsFile file(path);
    SaveOptions(file, state);
    const std::string before = stored.empty() ? "absent" : stored.substr(11, stored.size() - 12);
    EXPECT_EQ(file.readText("Options", "Allscreens", "absent"), before) << stored;
    // Chosen, it is written as "1" or "0", whatever stood there.
    state.everyMonitor = !on;
    state.everyMonitorChosen = true;
    SaveOptions(file, state);
    EXPECT_EQ(file.readText("Options", "Allscreens", "absent"), on ? "0" : "1") << stored;
  }
  // The default file has no such key, and reads as off.
  test::WriteFile(path, DefaultSettingsText());
  EXPECT_FALSE(load().everyMonitor);
}

TEST(StorableTextRule, lineBreaksAndNulAreRefused) {
  EXPECT_TRUE(IsStorableValue("/videos/a b.avi"));
  EXPECT_FALSE(IsStorableValue("/videos/a\nb.avi"));
  EXPECT_FALSE(IsStorableValue("/videos/a\rb.avi"));
  EXPECT_FALSE(IsStorableValue(std::string("/videos/a\0b.avi", 15)));
}

}  // namespace
}  // namespace quorrel
