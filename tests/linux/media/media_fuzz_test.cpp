// Damaged videos: each of a fixed series of mutations of a small clip is
// opened and played for a moment. None may crash or hang the player; each
// either plays or fails to open with a code and a text.

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "linux/media/media_backend.h"
#include "media/media_player.h"
#include "tests/linux/media/desktop_fixture.h"
#include "tests/support/process.h"
#include "tests/support/test_media.h"

namespace quorrel::linux_desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr int kMutations = 100;
// Open gives up on a file after ten seconds; a step that takes much longer
// than that has hung.
constexpr auto kStepBound = seconds(20);

// The same series on every run: mutation i is made from a generator
// seeded with i.
std::string Mutate(const std::string& original, int i) {
  std::mt19937 random(static_cast<std::mt19937::result_type>(i));
  std::string bytes = original;
  auto anywhere = [&] { return std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random); };
  switch (i % 4) {
    case 0: {  // flipped bits here and there
      const int flips = 1 + i % 23;
      for (int k = 0; k < flips; ++k) bytes[anywhere()] ^= static_cast<char>(1 << (random() % 8));
      break;
    }
    case 1:  // a cut tail
      bytes.resize(anywhere());
      break;
    case 2: {  // a run of zeros or of random bytes
      const std::size_t at = anywhere();
      const std::size_t length = std::min<std::size_t>(bytes.size() - at, 1 + random() % 512);
      for (std::size_t k = 0; k < length; ++k) bytes[at + k] = (i % 8 == 2) ? '\0' : static_cast<char>(random());
      break;
    }
    default: {  // damage in the headers, where the sizes and counts are
      const std::size_t headerEnd = std::min<std::size_t>(bytes.size(), 2048);
      const int flips = 1 + i % 7;
      for (int k = 0; k < flips; ++k) {
        bytes[std::uniform_int_distribution<std::size_t>(0, headerEnd - 1)(random)] = static_cast<char>(random());
      }
      break;
    }
  }
  return bytes;
}

TEST(MediaFuzzTest, damagedVideosPlayOrFailWithACodeButNeverHang) {
  const std::string clip = test::MakeClip(
      test::ClipOptions{.pattern = "bars", .width = 160, .height = 120, .seconds = 1, .withAudio = true});
  const std::string original = test::ReadFile(clip);
  ASSERT_GT(original.size(), 4096u);
  test::PostQueue queue;
  std::unique_ptr<MediaBackend> backend = CreatePlatformMediaBackend(queue.poster());
  test::DisplayWindow window(320, 240, 0x000000);
  test::TempDir dir;
  int played = 0;
  int refused = 0;
  for (int i = 0; i < kMutations; ++i) {
    const std::string file = dir.file("mutation" + std::to_string(i) + ".avi");
    test::WriteFile(file, Mutate(original, i));
    const auto start = std::chrono::steady_clock::now();
    {
      MediaPlayer player(*backend, window.id(), true);
      player.setFileName(file);
      try {
        player.open();
        player.setDisplayRect(Rect{0, 0, 320, 240});
        player.play();
        test::WaitWhileDraining(queue, [] { return false; }, milliseconds(150));
        const PlayerMode mode = player.mode();
        EXPECT_TRUE(mode == PlayerMode::Playing || mode == PlayerMode::Stopped) << "mutation " << i;
        ++played;
      } catch (const MediaDeviceError& e) {
        EXPECT_NE(player.error(), 0u) << "mutation " << i;
        EXPECT_NE(std::string(e.what()), "Unknown error code") << "mutation " << i;
        EXPECT_FALSE(player.isOpen()) << "mutation " << i;
        ++refused;
      }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, kStepBound) << "mutation " << i;
  }
  EXPECT_EQ(played + refused, kMutations);
  // A series that only ever failed, or only ever played, would not test
  // both ways through.
  EXPECT_GT(played, 0);
  EXPECT_GT(refused, 0);
  std::printf("damaged videos: %d played, %d refused\n", played, refused);
}

}  // namespace
}  // namespace quorrel::linux_desktop
