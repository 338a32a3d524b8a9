// The settings file shared by separate processes: a writer killed at any
// moment, or read while it writes, never leaves or shows a partial file.

#include "tests/support/process.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <random>
#include <string>

#include "base/messages.h"
#include "settings/data_folder.h"
#include "settings/profile.h"
#include "settings/settings_file.h"
#include "system/file_system.h"
#include "tests/core/settings/slot_values.h"

namespace quorrel {
namespace {

using test::ChildProcess;
using test::ProcessResult;
using test::RunProcess;
using test::SlotKey;
using test::GenerationOf;
using test::kSlotCount;
using test::ReadFile;
using test::SlotValue;
using test::TempDir;
using test::WriteFile;

using Generations = std::array<long, kSlotCount>;

std::string fileWith(const Generations& generations) {
  std::string text = "[vidConfig]\n";
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const long g = generations[static_cast<std::size_t>(slot - 1)];
    text += "Name" + std::to_string(slot) + "=" + (g == 0 ? std::string("Null") : SlotValue(g)) + "\n";
  }
  return text + "\n[End]\nMark=end\n";
}

// The generation in each slot when `text` is a whole file that complete
// writes made; nothing when any slot or any other byte is not.
std::optional<Generations> completeFile(const std::string& text) {
  const Profile profile(text);
  Generations generations{};
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const auto value = profile.find("vidConfig", "Name" + std::to_string(slot));
    if (!value) return std::nullopt;
    const auto g = GenerationOf(*value, slot);
    if (!g) return std::nullopt;
    generations[static_cast<std::size_t>(slot - 1)] = *g;
  }
  if (fileWith(generations) != text) return std::nullopt;
  return generations;
}

// Message boxes that nobody sees.
struct RecordedBoxes : MessageBoxes {
  void showMessage(MessageKind /*kind*/, const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

std::size_t temporaryFilesIn(const std::string& folder) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".quorrel4.ini.tmp-")) ++count;
  }
  return count;
}

TEST(SettingsProcesses, writerKilledAtRandomMomentsLeavesOldOrNewValues) {
  TempDir dir;
  const std::string path = dir.file("quorrel4.ini");
  Generations seen{};
  WriteFile(path, fileWith(seen));
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> delayMs(1, 25);
  long nextGeneration = 1;
  int runsThatWrote = 0;
  for (int run = 0; run < 200; ++run) {
    {
      ChildProcess writer({SETTINGS_WRITER, "loop", path, std::to_string(nextGeneration)});
      test::SleepFor(std::chrono::milliseconds(delayMs(random)));
      writer.signal(SIGKILL);
      ASSERT_TRUE(writer.waitFor(std::chrono::seconds(10)).has_value());
    }
    const std::string text = ReadFile(path);
    const std::optional<Generations> now = completeFile(text);
    ASSERT_TRUE(now.has_value()) << "after kill " << run << " the file is not whole:\n" << text;
    for (std::size_t i = 0; i < seen.size(); ++i) {
      // A slot may only move forward: a write that was done stays done.
      ASSERT_GE((*now)[i], seen[i]) << "slot " << i + 1 << " went back after kill " << run;
    }
    if (*now != seen) ++runsThatWrote;
    seen = *now;
    nextGeneration = *std::max_element(seen.begin(), seen.end()) + 1;
  }
  // Many runs must have got as far as writing, or the kills tested little.
  // (A loaded machine starts the writer late, so not every run does.)
  RecordProperty("runsThatWrote", runsThatWrote);
  EXPECT_GT(runsThatWrote, 50);
  // Killed writers leave their temporary files; the next start-up clears
  // them away, and the settings file with them is untouched.
  RemoveStaleTemporaryFiles(path);
  EXPECT_EQ(temporaryFilesIn(dir.path()), 0u);
  EXPECT_TRUE(completeFile(ReadFile(path)).has_value());
}

TEST(SettingsProcesses, readerNeverSeesPartialFileDuring1000Writes) {
  TempDir dir;
  const std::string path = dir.file("quorrel4.ini");
  WriteFile(path, fileWith(Generations{}));
  ChildProcess writer({SETTINGS_WRITER, "count", path, "1000"});
  SettingsFile file(path);
  int reads = 0;
  long lastSeen = 0;
  std::optional<int> exitCode;
  while (!(exitCode = writer.waitFor(std::chrono::milliseconds(0)))) {
    const std::string text = ReadFile(path);
    ASSERT_TRUE(completeFile(text).has_value()) << "partial file seen:\n" << text;
    // The store's own reads, through its cache, see whole values too.
    const std::string slot1 = file.readText("vidConfig", "Name1", " ");
    ASSERT_TRUE(GenerationOf(slot1, 1).has_value()) << slot1;
    ASSERT_GE(*GenerationOf(slot1, 1), lastSeen) << "a read went back to an older file";
    lastSeen = *GenerationOf(slot1, 1);
    ++reads;
  }
  ASSERT_EQ(*exitCode, 0);
  const std::optional<Generations> final = completeFile(ReadFile(path));
  ASSERT_TRUE(final.has_value());
  EXPECT_EQ(*std::max_element(final->begin(), final->end()), 1000);
  EXPECT_EQ(*GenerationOf(file.readText("vidConfig", "Name1", " "), 1), 1000);
  EXPECT_GT(reads, 10);
  EXPECT_EQ(temporaryFilesIn(dir.path()), 0u);
}

// An ordinary user for the tests that run as root: the one tools/desktop.sh
// names, or "nobody".
struct OtherUser {
  uid_t uid = 0;
  gid_t gid = 0;
};
std::optional<OtherUser> otherUser() {
  const char* named = std::getenv("QUORREL_TEST_USER");
  const passwd* entry = ::getpwnam(named != nullptr && *named != '\0' ? named : "nobody");
  if (entry == nullptr) return std::nullopt;
  return OtherUser{entry->pw_uid, entry->pw_gid};
}

struct Owner {
  uid_t uid = 0;
  gid_t gid = 0;
  friend bool operator==(const Owner&, const Owner&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Owner& owner) {
    return out << owner.uid << ":" << owner.gid;
  }
};
Owner ownerOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {static_cast<uid_t>(-1), static_cast<gid_t>(-1)};
  return {st.st_uid, st.st_gid};
}

// `sudo -E quorrel /C` writes the user's settings as root. Whatever root
// makes there (the lock file, a first file, the folder) stays the user's,
// and a lock file that an older run left to root, unreadable to the user,
// does not keep the user from saving.
TEST(SettingsProcesses, writesByRootNeverKeepTheUserFromTheirOwnSettings) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root and an ordinary user";
  const std::optional<OtherUser> user = otherUser();
  ASSERT_TRUE(user.has_value());
  const Owner users{user->uid, user->gid};
  TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
  const std::string configHome = dir.file("config");
  ASSERT_EQ(::mkdir(configHome.c_str(), 0700), 0);
  ASSERT_EQ(::chown(configHome.c_str(), user->uid, user->gid), 0);
  const auto writeAsUser = [&](const std::string& path, int writes) {
    return RunProcess({"setpriv", "--reuid=" + std::to_string(user->uid), "--regid=" + std::to_string(user->gid),
                       "--clear-groups", SETTINGS_WRITER, "count", path, std::to_string(writes)});
  };

  // A first run as root makes the folder, the default file and the lock
  // file, all the user's; the user then writes to them.
  RecordedBoxes boxes;
  const SettingsLocation location = SettingsLocationIn(configHome);
  SetupDataFolder(location, boxes);
  const std::string lockFile = location.DataFolder + "/.quorrel4.ini.lock";
  EXPECT_EQ(ownerOf(location.DataFolder), users);
  EXPECT_EQ(ownerOf(location.SettingsFileName), users);
  EXPECT_EQ(ownerOf(lockFile), users);
  ProcessResult run = writeAsUser(location.SettingsFileName, 2);
  EXPECT_EQ(run.exitStatus, 0) << run.output;

  // A lock file left as an older run as root made it.
  ASSERT_TRUE(std::filesystem::remove(lockFile));
  WriteFile(lockFile, "");
  ASSERT_EQ(::chmod(lockFile.c_str(), 0600), 0);
  ASSERT_EQ(ownerOf(lockFile), (Owner{0, 0}));
  run = writeAsUser(location.SettingsFileName, 3);
  EXPECT_EQ(run.exitStatus, 0) << run.output;
  const SettingsFile file(location.SettingsFileName);
  for (long g = 1; g <= 3; ++g) EXPECT_EQ(file.readText("vidConfig", SlotKey(g), " "), SlotValue(g));
  EXPECT_EQ(ownerOf(lockFile), users);

  // Root writing once more leaves everything the user's.
  SettingsFile(location.SettingsFileName).writeText("Options", "Sound", "1");
  EXPECT_EQ(ownerOf(location.SettingsFileName), users);
  EXPECT_EQ(ownerOf(lockFile), users);
  EXPECT_EQ(temporaryFilesIn(location.DataFolder), 0u);
}

}  // namespace
}  // namespace quorrel
