// Two options dialogs in separate processes adding videos at the same
// moment: every video either of them added is in the file afterwards, each
// in a slot of its own.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "tests/core/options/option_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using namespace std::chrono_literals;

TEST(VideoListProcesses, twoDialogsAddingAtOnceLoseNoVideo) {
  test::TempDir dir;
  const std::string path = dir.file("quorrel4.ini");
  test::WriteFile(path, test::DefaultSettingsText({"/videos/kept.avi"}));
  const std::string go = dir.file("go");
  constexpr int kEach = 150;
  test::ChildProcess first({LIST_ADDER, path, "/videos/first-", std::to_string(kEach), go});
  test::ChildProcess second({LIST_ADDER, path, "/videos/second-", std::to_string(kEach), go});
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
    EXPECT_EQ(listed.count("/videos/first-" + std::to_string(i) + ".avi"), 1u) << i;
    EXPECT_EQ(listed.count("/videos/second-" + std::to_string(i) + ".avi"), 1u) << i;
  }
}

}  // namespace
}  // namespace quorrel
