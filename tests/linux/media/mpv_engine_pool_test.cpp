// libmpv instances kept from one file to the next: a closed file's instance
// plays the next file as if it had been started for it, and an instance in a
// state it cannot go on from is ended instead of kept.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "linux/media/media_errors.h"
#include "linux/media/mpv_device.h"
#include "linux/media/x11_video_window.h"
#include "media/media_device.h"
#include "tests/linux/media/desktop_fixture.h"
#include "tests/support/process.h"
#include "tests/support/test_media.h"

namespace quorrel::linux_desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using test::ClipOptions;
using test::Rgb;

using test::kBlue;
using test::kGreen;
using test::kGreenRgb;
using test::kRed;

class MpvEnginePoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    x11 = X11Connection::Open();
    ASSERT_NE(x11, nullptr);
    pool = std::make_shared<MpvEnginePool>(queue.poster());
  }

  std::unique_ptr<MediaDevice> openOrFail(const std::string& path) {
    std::uint32_t code = 0;
    std::unique_ptr<MediaDevice> device = MpvDevice::Open(path, x11.get(), pool, code);
    EXPECT_NE(device, nullptr) << path << ": " << code;
    return device;
  }
  // Opened into `window`, filling it, and playing.
  std::unique_ptr<MediaDevice> showOrFail(const std::string& path, test::DisplayWindow& window, const Rect& rect) {
    std::unique_ptr<MediaDevice> device = openOrFail(path);
    if (!device) return nullptr;
    EXPECT_EQ(device->setDisplayWindow(window.id()), 0u);
    EXPECT_EQ(device->setDestination(rect), 0u);
    EXPECT_EQ(device->play(), 0u);
    return device;
  }
  bool waitForMode(MediaDevice& device, PlayerMode wanted) {
    PlayerMode mode = PlayerMode::NotReady;
    return test::WaitWhileDraining(queue, [&] { return device.mode(mode) == 0 && mode == wanted; }, seconds(8));
  }
  bool waitForColour(test::DisplayWindow& window, int x, int y, const Rgb& colour) {
    return test::WaitWhileDraining(queue, [&] { return test::Near(window.pixel(x, y), colour); }, seconds(5));
  }

  test::PostQueue queue;
  std::unique_ptr<X11Connection> x11;
  std::shared_ptr<MpvEnginePool> pool;
};

TEST_F(MpvEnginePoolTest, closedInstanceWaitsHiddenAndPlaysTheNextFileFromItsStart) {
  test::DisplayWindow window(320, 240, kGreen);
  auto first = showOrFail(test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 1}), window, Rect{0, 0, 320, 240});
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(waitForMode(*first, PlayerMode::Stopped));
  ASSERT_EQ(first->close(), 0u);
  EXPECT_EQ(pool->idleCount(), 1u);
  EXPECT_EQ(window.childCount(), 0);
  EXPECT_TRUE(waitForColour(window, 160, 120, kGreenRgb)) << test::Describe(window.pixel(160, 120));

  // The played-out file's end must not carry over: the next file is at its
  // own start, stopped, with its own length and size.
  auto second = openOrFail(test::MakeClip(ClipOptions{.pattern = "red", .width = 160, .height = 120, .seconds = 3}));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(pool->idleCount(), 0u);
  EXPECT_EQ(second->sourceRect(), (Rect{0, 0, 160, 120}));
  PlayerMode mode = PlayerMode::NotReady;
  ASSERT_EQ(second->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Stopped);
  std::int64_t position = -1;
  std::int64_t length = -1;
  ASSERT_EQ(second->position(position), 0u);
  ASSERT_EQ(second->length(length), 0u);
  EXPECT_LT(position, 100);
  EXPECT_NEAR(static_cast<double>(length), 3000.0, 100.0);
  EXPECT_EQ(second->resume(), media_errors::kCannotResume);

  ASSERT_EQ(second->setDisplayWindow(window.id()), 0u);
  ASSERT_EQ(second->setDestination(Rect{0, 0, 320, 240}), 0u);
  ASSERT_EQ(second->play(), 0u);
  ASSERT_EQ(second->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Playing);
  EXPECT_TRUE(waitForColour(window, 160, 120, kRed)) << test::Describe(window.pixel(160, 120));
  EXPECT_EQ(window.childCount(), 1);
  test::SleepFor(milliseconds(500));
  ASSERT_EQ(second->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Playing);
}

TEST_F(MpvEnginePoolTest, soundAfterVideoLeavesNoPictureInEitherWindow) {
  test::DisplayWindow show(320, 240, kGreen);
  auto video = showOrFail(test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5}), show, Rect{0, 0, 320, 240});
  ASSERT_NE(video, nullptr);
  ASSERT_TRUE(waitForColour(show, 160, 120, kRed));
  ASSERT_EQ(video->close(), 0u);

  auto sound = openOrFail(test::MakeWav(0.5));
  ASSERT_NE(sound, nullptr);
  EXPECT_FALSE(sound->hasVideo());
  EXPECT_EQ(sound->sourceRect(), (Rect{}));
  ASSERT_EQ(sound->play(), 0u);
  EXPECT_TRUE(waitForMode(*sound, PlayerMode::Stopped));
  EXPECT_EQ(show.childCount(), 0);
  EXPECT_TRUE(test::Near(show.pixel(160, 120), kGreenRgb)) << test::Describe(show.pixel(160, 120));

  // The instance then draws into a different display window, and only there.
  ASSERT_EQ(sound->close(), 0u);
  test::DisplayWindow preview(320, 240, kGreen);
  auto next = showOrFail(test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5}), preview, Rect{0, 0, 320, 240});
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(waitForColour(preview, 160, 120, kBlue)) << test::Describe(preview.pixel(160, 120));
  EXPECT_EQ(preview.childCount(), 1);
  EXPECT_EQ(show.childCount(), 0);
}

TEST_F(MpvEnginePoolTest, instancePreparedForVideoGoesToTheFirstPlayerWithADisplay) {
  pool->prepareVideo(x11.get());
  ASSERT_TRUE(pool->videoPrepared());

  // A player without a display window leaves it to one with.
  std::uint32_t code = 0;
  auto sound = MpvDevice::Open(test::MakeWav(0.5), x11.get(), pool, code);
  ASSERT_NE(sound, nullptr) << code;
  EXPECT_TRUE(pool->videoPrepared());

  // A file without a picture takes it all the same and plays as any sound.
  test::DisplayWindow window(320, 240, kGreen);
  auto silent = MpvDevice::Open(test::MakeWav(0.5), x11.get(), pool, code, window.id());
  ASSERT_NE(silent, nullptr) << code;
  EXPECT_FALSE(pool->videoPrepared());
  EXPECT_FALSE(silent->hasVideo());
  ASSERT_EQ(silent->play(), 0u);
  EXPECT_TRUE(waitForMode(*silent, PlayerMode::Stopped));
  EXPECT_EQ(window.childCount(), 0);
  ASSERT_EQ(sound->close(), 0u);
  ASSERT_EQ(silent->close(), 0u);
  ASSERT_EQ(pool->idleCount(), 2u);

  // Its output, started ahead, ended with that file; the next picture it
  // is given, it shows where it is told and nowhere else.
  auto video = showOrFail(test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5}), window, Rect{0, 0, 160, 240});
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(pool->idleCount(), 1u);
  EXPECT_TRUE(waitForColour(window, 80, 120, kRed)) << test::Describe(window.pixel(80, 120));
  EXPECT_TRUE(test::Near(window.pixel(240, 120), kGreenRgb)) << test::Describe(window.pixel(240, 120));
  EXPECT_EQ(window.childCount(), 1);
}

TEST_F(MpvEnginePoolTest, newInstanceHasThePictureInPlaceWhenOpenReturns) {
  pool->prepareVideo(x11.get());
  test::DisplayWindow window(320, 240, kGreen);
  std::uint32_t code = 0;
  auto video = MpvDevice::Open(test::MakeClip(ClipOptions{.pattern = "red", .width = 160, .height = 120, .seconds = 5}),
                               x11.get(), pool, code, window.id());
  ASSERT_NE(video, nullptr) << code;
  EXPECT_FALSE(pool->videoPrepared());
  // Before the player has placed it: the frame's own size at the corner.
  EXPECT_EQ(window.childCount(), 1);
  EXPECT_TRUE(waitForColour(window, 80, 60, kRed)) << test::Describe(window.pixel(80, 60));
  EXPECT_TRUE(test::Near(window.pixel(240, 180), kGreenRgb)) << test::Describe(window.pixel(240, 180));
  ASSERT_EQ(video->setDisplayWindow(window.id()), 0u);
  ASSERT_EQ(video->setDestination(Rect{0, 0, 320, 240}), 0u);
  ASSERT_EQ(video->play(), 0u);
  EXPECT_TRUE(waitForColour(window, 240, 180, kRed)) << test::Describe(window.pixel(240, 180));
  EXPECT_EQ(window.childCount(), 1);
  ASSERT_EQ(video->close(), 0u);
  EXPECT_EQ(window.childCount(), 0);

  // An instance that has shown a picture may still hold it: its window
  // stays out until the player puts it in.
  auto next = MpvDevice::Open(test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5}), x11.get(), pool, code,
                              window.id());
  ASSERT_NE(next, nullptr) << code;
  EXPECT_EQ(pool->idleCount(), 0u);
  EXPECT_EQ(window.childCount(), 0);
  ASSERT_EQ(next->setDisplayWindow(window.id()), 0u);
  ASSERT_EQ(next->play(), 0u);
  EXPECT_TRUE(waitForColour(window, 160, 120, kBlue)) << test::Describe(window.pixel(160, 120));
}

TEST_F(MpvEnginePoolTest, playersOpenAtTheSameTimeHaveInstancesOfTheirOwn) {
  // Both windows sit at the screen's corner; the smaller one, made last,
  // lies on top of the other's corner.
  test::DisplayWindow left(320, 240, kGreen);
  test::DisplayWindow right(100, 100, kGreen);
  const std::string red = test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5});
  const std::string blue = test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5});
  auto a = showOrFail(red, left, Rect{0, 0, 320, 240});
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->close(), 0u);
  a = showOrFail(red, left, Rect{0, 0, 320, 240});
  auto b = showOrFail(blue, right, Rect{0, 0, 100, 100});
  auto c = openOrFail(test::MakeWav(2.0));
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(pool->idleCount(), 0u);
  EXPECT_TRUE(waitForColour(left, 250, 200, kRed)) << test::Describe(left.pixel(250, 200));
  EXPECT_TRUE(waitForColour(right, 50, 50, kBlue)) << test::Describe(right.pixel(50, 50));
  ASSERT_EQ(b->stop(), 0u);
  PlayerMode mode = PlayerMode::NotReady;
  ASSERT_EQ(a->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Playing);

  // Only as many as the pool keeps wait; the rest are ended.
  a.reset();
  b.reset();
  c.reset();
  EXPECT_EQ(pool->idleCount(), MpvEnginePool::kMaxIdle);
  EXPECT_EQ(left.childCount(), 0);
  EXPECT_EQ(right.childCount(), 0);
}

TEST_F(MpvEnginePoolTest, failedOpenEndsTheInstanceItWasGiven) {
  test::TempDir dir;
  test::WriteFile(dir.file("notes.avi"), "This is a text file, not a video.\n");
  test::DisplayWindow window(320, 240, kGreen);
  auto video = showOrFail(test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5}), window, Rect{0, 0, 320, 240});
  ASSERT_NE(video, nullptr);
  ASSERT_TRUE(waitForColour(window, 160, 120, kRed));
  ASSERT_EQ(video->close(), 0u);
  ASSERT_EQ(pool->idleCount(), 1u);

  std::uint32_t code = 0;
  EXPECT_EQ(MpvDevice::Open(dir.file("notes.avi"), x11.get(), pool, code), nullptr);
  EXPECT_NE(code, 0u);
  EXPECT_FALSE(media_errors::Text(code).empty());
  EXPECT_EQ(pool->idleCount(), 0u);
  EXPECT_EQ(window.childCount(), 0);
  EXPECT_TRUE(test::Near(window.pixel(160, 120), kGreenRgb)) << test::Describe(window.pixel(160, 120));

  auto next = openOrFail(test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 2}));
  EXPECT_NE(next, nullptr);
}

TEST_F(MpvEnginePoolTest, instanceWhoseDisplayWindowWentIsEndedNotKept) {
  auto window = std::make_unique<test::DisplayWindow>(320, 240, kGreen);
  auto video = showOrFail(test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5}), *window, Rect{0, 0, 320, 240});
  ASSERT_NE(video, nullptr);
  ASSERT_TRUE(waitForColour(*window, 160, 120, kRed));
  window.reset();
  ASSERT_EQ(video->close(), 0u);
  EXPECT_EQ(pool->idleCount(), 0u);

  // A device that outlives its pool ends its instance when it closes.
  test::DisplayWindow other(320, 240, kGreen);
  auto orphan = showOrFail(test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5}), other, Rect{0, 0, 320, 240});
  ASSERT_NE(orphan, nullptr);
  ASSERT_TRUE(waitForColour(other, 160, 120, kBlue));
  pool.reset();
  ASSERT_EQ(orphan->close(), 0u);
  EXPECT_EQ(other.childCount(), 0);
}

}  // namespace
}  // namespace quorrel::linux_desktop
