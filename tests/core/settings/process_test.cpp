// The settings file shared by separate processes: a writer killed at any
// moment, or read while it writes, never leaves or shows a partial file.

#include "tests/support/process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <array>
#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "settings/profile.h"
#include "settings/settings_file.h"
#include "system/file_system.h"
#include "tests/core/settings/slot_values.h"

namespace quorrel {
namespace {

using test::ChildProcess;
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

}  // namespace
}  // namespace quorrel
