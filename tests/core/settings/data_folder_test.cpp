#include "settings/data_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "settings/settings_file.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct RecordedBoxes : MessageBoxes {
  std::vector<std::pair<MessageKind, std::string>> shown;
  void showMessage(MessageKind kind, const std::string& text) override { shown.emplace_back(kind, text); }
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string expectedDefaultFile() {
  std::string text = "[Options]\nSound=0\nRepeat=0\nStatus=0\nColor=4\nPicdis=5\nPicord=2\nHeight=100\nWidth=100\n\n";
  text += "[vidConfig]\n";
  for (int n = 1; n <= 1000; ++n) text += "Name" + std::to_string(n) + "=Null\n";
  text += "\n[WavConfig]\n";
  for (int n = 1; n <= 1000; ++n) text += "Name" + std::to_string(n) + "=Null\n";
  return text;
}

constexpr const char* kFolderWarning =
    "Could not create a folder. Please right click this software and choose the option to \"Run as Admin\" (only "
    "needs to be done one time), as you currently do not have authority to create a temp folder.";

TEST(DataFolder, firstRunCreatesFolderParentsAndDefaultFile) {
  TempDir dir;
  ScopedEnv xdg("XDG_CONFIG_HOME", dir.file("deep/config"));
  const SettingsLocation location = UserSettingsLocation();
  RecordedBoxes boxes;
  SetupDataFolder(location, boxes);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(location.DataFolder, dir.file("deep/config/Quorrel"));
  EXPECT_EQ(location.SettingsFileName, dir.file("deep/config/Quorrel/quorrel4.ini"));
  EXPECT_EQ(ReadFile(location.SettingsFileName), expectedDefaultFile());
  SettingsFile file(location.SettingsFileName);
  EXPECT_EQ(file.readText("VidConfig", "Name1000", " "), "Null");
  EXPECT_EQ(file.readNumber("Options", "Picdis", 0), 5);
  EXPECT_EQ(file.readNumber("Options", "Starton", 7), 7);
}

TEST(DataFolder, relativeXdgConfigHomeFallsBackToHomeConfig) {
  TempDir dir;
  ScopedEnv xdg("XDG_CONFIG_HOME", std::string("relative/config"));
  ScopedEnv home("HOME", dir.path());
  const SettingsLocation location = UserSettingsLocation();
  RecordedBoxes boxes;
  SetupDataFolder(location, boxes);
  EXPECT_EQ(location.DataFolder, dir.file(".config/Quorrel"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.file(".config/Quorrel/quorrel4.ini")));
}

TEST(DataFolder, presentFolderGetsOnlyTheFile) {
  TempDir dir;
  const SettingsLocation location = SettingsLocationIn(dir.path());
  std::filesystem::create_directory(dir.file("Quorrel"));
  ::chmod(dir.file("Quorrel").c_str(), 0750);
  WriteFile(dir.file("Quorrel/notes.txt"), "mine");
  RecordedBoxes boxes;
  SetupDataFolder(location, boxes);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(ReadFile(location.SettingsFileName), expectedDefaultFile());
  EXPECT_EQ(ReadFile(dir.file("Quorrel/notes.txt")), "mine");
  EXPECT_EQ(std::filesystem::status(dir.file("Quorrel")).permissions(), std::filesystem::perms(0750));
}

TEST(DataFolder, defaultFileEqualsSeparateWritesInSequence) {
  // The same 2008 writes, one file replace each, on a missing file and on a
  // file that already holds some of the keys.
  TempDir dir;
  const SettingsLocation location = SettingsLocationIn(dir.path());
  for (const std::string start : {"", "; mine\r\n[WavConfig]\r\nName7=/s.wav\r\n[Options]\r\nColor=1\r\n"}) {
    const std::string separate = dir.file("separate.ini");
    std::filesystem::remove(separate);
    if (!start.empty()) WriteFile(separate, start);
    SettingsFile file(separate);
    file.writeFlag("Options", "Sound", false);
    file.writeFlag("Options", "Repeat", false);
    file.writeFlag("Options", "Status", false);
    file.writeNumber("Options", "Color", 4);
    file.writeNumber("Options", "Picdis", 5);
    file.writeNumber("Options", "Picord", 2);
    file.writeNumber("Options", "Height", 100);
    file.writeNumber("Options", "Width", 100);
    for (int n = 1; n <= 1000; ++n) {
      file.writeText("vidConfig", "Name" + std::to_string(n), "Null");
      file.writeText("WavConfig", "Name" + std::to_string(n), "Null");
    }
    RecordedBoxes boxes;
    SetupDataFolder(location, boxes);
    std::filesystem::remove(location.SettingsFileName);
    if (!start.empty()) WriteFile(location.SettingsFileName, start);
    WriteDefaultSettings(location.SettingsFileName);
    EXPECT_EQ(ReadFile(location.SettingsFileName), ReadFile(separate));
  }
}

TEST(DataFolder, startUpRemovesTemporaryFilesOfDeadWritersOnly) {
  TempDir dir;
  const SettingsLocation location = SettingsLocationIn(dir.path());
  std::filesystem::create_directory(dir.file("Quorrel"));
  test::ChildProcess ended({"true"});
  ASSERT_TRUE(ended.waitFor(std::chrono::seconds(10)).has_value());
  const std::string dead = dir.file("Quorrel/.quorrel4.ini.tmp-" + std::to_string(ended.pid()) + "-0-1");
  const std::string live = dir.file("Quorrel/.quorrel4.ini.tmp-" + std::to_string(::getpid()) + "-0-1");
  WriteFile(dead, "half");
  WriteFile(live, "being written");
  RecordedBoxes boxes;
  SetupDataFolder(location, boxes);
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_TRUE(std::filesystem::exists(live));
}

TEST(DataFolder, existingFileIsNeverCompletedOrRepaired) {
  TempDir dir;
  const SettingsLocation location = SettingsLocationIn(dir.path());
  std::filesystem::create_directory(dir.file("Quorrel"));
  WriteFile(dir.file("Quorrel/quorrel4.ini"), "");
  RecordedBoxes boxes;
  SetupDataFolder(location, boxes);
  EXPECT_EQ(ReadFile(location.SettingsFileName), "");
  SettingsFile file(location.SettingsFileName);
  EXPECT_TRUE(file.readFlag("Options", "Sound", true));
  EXPECT_EQ(file.readNumber("Options", "Height", -1), -1);
  EXPECT_EQ(file.readText("vidConfig", "Name1", " "), "");
}

TEST(DataFolder, fileInPlaceOfFolderWarnsAndFirstWriteFails) {
  TempDir dir;
  const SettingsLocation location = SettingsLocationIn(dir.path());
  WriteFile(dir.file("Quorrel"), "not a folder");
  RecordedBoxes boxes;
  EXPECT_THROW(SetupDataFolder(location, boxes), SettingsWriteError);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].first, MessageKind::Warning);
  EXPECT_EQ(boxes.shown[0].second, kFolderWarning);
  EXPECT_EQ(ReadFile(dir.file("Quorrel")), "not a folder");
}

}  // namespace
}  // namespace quorrel
