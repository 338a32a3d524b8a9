// Two options dialogs in separate processes adding videos at the same
// moment: every video either of them added is in the file afterwards, each
// in a slot of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "system/paths.h"
#include "tests/core/options/option_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using namespace std::chrono_literals;

constexpr int kEach = 150;

// Starts both dialogs on a list holding one video, lets them add at once
// and checks that the file holds that video in slot 1 and every added one
// exactly once. `what` names each dialog's videos: a prefix or a folder.
void addAtOnceAndCheck(const std::string& mode, const std::string& firstWhat, const std::string& secondWhat,
                       const std::string& firstPrefix, const std::string& secondPrefix) {
  test::TempDir dir;
  const std::string path = dir.file("quorrel4.ini");
  test::WriteFile(path, test::DefaultSettingsText({"/videos/kept.avi"}));
  const std::string go = dir.file("go");
  test::ChildProcess first({LIST_ADDER, mode, path, firstWhat, std::to_string(kEach), go});
  test::ChildProcess second({LIST_ADDER, mode, path, secondWhat, std::to_string(kEach), go});
  // Both have read the list before either writes.
  test::SleepFor(300ms);
  test::WriteFile(go, "");
  ASSERT_EQ(first.waitFor(60s), std::optional<int>(0));
  ASSERT_EQ(second.waitFor(60s), std::optional<int>(0));

  const SettingsFile file(path);
  std::set<std::string> listed;
  int occupied = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const std::string value = file.readText(kVideoListSection, SlotKey(slot), kSlotReadDefault);
    if (IsEmptySlotForDialog(value)) continue;
    ++occupied;
    listed.insert(value);
  }
  EXPECT_EQ(occupied, 1 + 2 * kEach);
  EXPECT_EQ(listed.size(), static_cast<std::size_t>(1 + 2 * kEach));
  EXPECT_EQ(file.readText(kVideoListSection, "Name1", ""), "/videos/kept.avi");
  for (int i = 1; i <= kEach; ++i) {
    EXPECT_EQ(listed.count(firstPrefix + std::to_string(i) + ".avi"), 1u) << i;
    EXPECT_EQ(listed.count(secondPrefix + std::to_string(i) + ".avi"), 1u) << i;
  }
}

TEST(VideoListProcesses, twoDialogsAddingAtOnceLoseNoVideo) {
  addAtOnceAndCheck("videos", "/videos/first-", "/videos/second-", "/videos/first-", "/videos/second-");
}

// A folder add writes its videos a batch at a time; each batch still takes
// the slots that are free in the file at that moment.
TEST(VideoListProcesses, twoDialogsAddingFoldersAtOnceLoseNoVideo) {
  test::TempDir videos;
  for (const char* folder : {"first", "second"}) {
    std::filesystem::create_directory(videos.file(folder));
    for (int i = 1; i <= kEach; ++i) {
      test::WriteFile(videos.file(std::string(folder) + "/" + std::to_string(i) + ".avi"), "x");
    }
  }
  const std::string separator(1, kPathSeparator);
  addAtOnceAndCheck("folder", videos.file("first"), videos.file("second"), videos.file("first") + separator,
                    videos.file("second") + separator);
}

}  // namespace
}  // namespace quorrel
