// The player on the real back ends: libmpv drawing into a window on the
// test display, FluidSynth and mpv playing into the test sound server.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "linux/media/fluidsynth_device.h"
#include "linux/media/media_backend.h"
#include "media/media_player.h"
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

class MediaPlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override { backend = CreatePlatformMediaBackend(queue.poster()); }

  bool waitForMode(MediaPlayer& player, PlayerMode mode, milliseconds timeout) {
    return test::WaitWhileDraining(queue, [&] { return player.mode() == mode; }, timeout);
  }
  bool waitForColour(test::DisplayWindow& window, int x, int y, const Rgb& colour) {
    return test::WaitWhileDraining(queue, [&] { return test::Near(window.pixel(x, y), colour); }, seconds(5));
  }
  void openOrFail(MediaPlayer& player, const std::string& file) {
    player.setFileName(file);
    try {
      player.open();
    } catch (const MediaDeviceError& e) {
      FAIL() << file << ": " << e.what();
    }
  }

  test::PostQueue queue;
  std::unique_ptr<MediaBackend> backend;
};

// --- Video: size and placement ----------------------------------------------

TEST_F(MediaPlaybackTest, naturalSizeIsTheVideoFrameSize) {
  test::DisplayWindow window(800, 600, kGreen);
  MediaPlayer player(*backend, window.id(), true);
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "red", .width = 320, .height = 240}));
  EXPECT_EQ(player.naturalSize(), (Rect{0, 0, 320, 240}));
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "red", .width = 640, .height = 360, .container = test::Container::Mp4}));
  EXPECT_EQ(player.naturalSize(), (Rect{0, 0, 640, 360}));
  EXPECT_EQ(player.displayRect(Rect{}), (Rect{0, 0, 640, 360}));
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
}

TEST_F(MediaPlaybackTest, zeroRectangleShowsTheNaturalSizeInTheTopLeftCorner) {
  test::DisplayWindow window(640, 480, kGreen);
  MediaPlayer player(*backend, window.id(), true);
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "red", .width = 160, .height = 120, .seconds = 3}));
  player.setDisplayRect(Rect{0, 0, 0, 0});
  EXPECT_EQ(player.displayRect(Rect{}), (Rect{0, 0, 160, 120}));
  player.play();
  EXPECT_TRUE(waitForColour(window, 80, 60, kRed)) << test::Describe(window.pixel(80, 60));
  EXPECT_TRUE(test::Near(window.pixel(155, 115), kRed)) << test::Describe(window.pixel(155, 115));
  EXPECT_TRUE(test::Near(window.pixel(170, 60), kGreenRgb)) << test::Describe(window.pixel(170, 60));
  EXPECT_TRUE(test::Near(window.pixel(80, 130), kGreenRgb)) << test::Describe(window.pixel(80, 130));
}

TEST_F(MediaPlaybackTest, fullRectangleStretchesTheVideoToFillIt) {
  test::DisplayWindow window(640, 480, kGreen);
  MediaPlayer player(*backend, window.id(), true);
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "red", .width = 160, .height = 120, .seconds = 3}));
  // A different aspect ratio from the frame's: the video must fill the
  // rectangle, not sit in it with bars.
  player.setDisplayRect(Rect{0, 0, 600, 200});
  EXPECT_EQ(player.displayRect(Rect{}), (Rect{0, 0, 600, 200}));
  player.play();
  EXPECT_TRUE(waitForColour(window, 590, 190, kRed)) << test::Describe(window.pixel(590, 190));
  EXPECT_TRUE(test::Near(window.pixel(5, 5), kRed)) << test::Describe(window.pixel(5, 5));
  EXPECT_TRUE(test::Near(window.pixel(300, 100), kRed)) << test::Describe(window.pixel(300, 100));
  EXPECT_TRUE(test::Near(window.pixel(300, 215), kGreenRgb)) << test::Describe(window.pixel(300, 215));
  EXPECT_TRUE(test::Near(window.pixel(615, 100), kGreenRgb)) << test::Describe(window.pixel(615, 100));
}

TEST_F(MediaPlaybackTest, aClickOrKeyOnTheVideoReachesTheDisplayWindow) {
  test::DisplayWindow window(640, 480, kGreen);
  MediaPlayer player(*backend, window.id(), true);
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "red", .width = 320, .height = 240, .seconds = 3}));
  player.setDisplayRect(Rect{0, 0, 640, 480});
  player.play();
  ASSERT_TRUE(waitForColour(window, 320, 240, kRed));
  EXPECT_GE(window.childCount(), 1);
  EXPECT_EQ(window.descendantsSelectingInput(), 0);
  window.focus();
  ASSERT_EQ(test::RunProcess({"xdotool", "mousemove", "320", "240", "click", "1"}).exitStatus, 0);
  EXPECT_TRUE(test::WaitWhileDraining(queue, [&] { return window.sawButtonPress(); }, seconds(3)));
  ASSERT_EQ(test::RunProcess({"xdotool", "key", "a"}).exitStatus, 0);
  EXPECT_TRUE(test::WaitWhileDraining(queue, [&] { return window.sawKeyPress(); }, seconds(3)));
}

// --- Modes and the end of the file ------------------------------------------

TEST_F(MediaPlaybackTest, playPauseResumeAndStopReportTheirModes) {
  test::DisplayWindow window(640, 480, kGreen);
  MediaPlayer player(*backend, window.id(), true);
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "bars", .seconds = 10}));
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  player.play();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.pause();
  player.resume();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.stop();
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  // Resume on a stopped file plays it.
  player.resume();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  EXPECT_EQ(player.error(), 0u);
  player.close();
  EXPECT_FALSE(player.isOpen());
  EXPECT_EQ(player.mode(), PlayerMode::NotReady);
  EXPECT_EQ(window.childCount(), 0);
}

TEST_F(MediaPlaybackTest, playedOutVideoRestsStoppedAtItsEnd) {
  test::DisplayWindow window(320, 240, kGreen);
  std::uint32_t code = 0;
  auto device = backend->open(test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 1}), 0, code);
  ASSERT_NE(device, nullptr) << code;
  ASSERT_EQ(device->play(), 0u);
  PlayerMode mode = PlayerMode::Playing;
  ASSERT_TRUE(test::WaitWhileDraining(
      queue, [&] { return device->mode(mode) == 0 && mode == PlayerMode::Stopped; }, seconds(8)));
  std::int64_t position = -1;
  std::int64_t length = -2;
  ASSERT_EQ(device->position(position), 0u);
  ASSERT_EQ(device->length(length), 0u);
  EXPECT_EQ(position, length);
  EXPECT_NEAR(static_cast<double>(length), 1000.0, 100.0);
  // Play from the end without a seek plays nothing.
  ASSERT_EQ(device->play(), 0u);
  test::SleepFor(milliseconds(300));
  ASSERT_EQ(device->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Stopped);
}

TEST_F(MediaPlaybackTest, replayWithAutoRewindStartsFromTheBeginning) {
  test::DisplayWindow window(320, 240, kGreen);
  const std::string clip = test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 1.5});
  MediaPlayer rewinding(*backend, window.id(), true);
  openOrFail(rewinding, clip);
  rewinding.play();
  ASSERT_TRUE(waitForMode(rewinding, PlayerMode::Stopped, seconds(8)));
  rewinding.play();
  EXPECT_EQ(rewinding.mode(), PlayerMode::Playing);
  test::SleepFor(milliseconds(500));
  EXPECT_EQ(rewinding.mode(), PlayerMode::Playing);
  EXPECT_TRUE(waitForMode(rewinding, PlayerMode::Stopped, seconds(8)));

  MediaPlayer notRewinding(*backend, window.id(), false);
  openOrFail(notRewinding, clip);
  notRewinding.play();
  ASSERT_TRUE(waitForMode(notRewinding, PlayerMode::Stopped, seconds(8)));
  notRewinding.play();
  test::SleepFor(milliseconds(300));
  EXPECT_EQ(notRewinding.mode(), PlayerMode::Stopped);
}

TEST_F(MediaPlaybackTest, openingASecondFileReplacesTheFirst) {
  test::DisplayWindow window(320, 240, kGreen);
  MediaPlayer player(*backend, window.id(), true);
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5}));
  player.setDisplayRect(Rect{0, 0, 320, 240});
  player.play();
  ASSERT_TRUE(waitForColour(window, 160, 120, kRed));
  openOrFail(player, test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5}));
  EXPECT_EQ(window.childCount(), 1);
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  player.setDisplayRect(Rect{0, 0, 320, 240});
  player.play();
  EXPECT_TRUE(waitForColour(window, 160, 120, kBlue)) << test::Describe(window.pixel(160, 120));
}

TEST_F(MediaPlaybackTest, displayWindowDestroyedBeforeThePlayerIsHarmless) {
  // A window that closes may destroy its panel's native window before the
  // player that draws into it.
  MediaPlayer player(*backend, 0, true);
  {
    test::DisplayWindow window(320, 240, kGreen);
    MediaPlayer drawing(*backend, window.id(), true);
    openOrFail(drawing, test::MakeClip(ClipOptions{.pattern = "red", .seconds = 5}));
    drawing.setDisplayRect(Rect{0, 0, 320, 240});
    drawing.play();
    ASSERT_TRUE(waitForColour(window, 160, 120, kRed));
    auto orphan = std::make_unique<test::DisplayWindow>(320, 240, kGreen);
    MediaPlayer late(*backend, orphan->id(), true);
    openOrFail(late, test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5}));
    late.play();
    orphan.reset();
    test::WaitWhileDraining(queue, [] { return false; }, milliseconds(500));
    late.setDisplayRect(Rect{0, 0, 100, 100});
    EXPECT_NE(late.error(), 0u);
    EXPECT_EQ(late.displayRect(Rect{0, 0, 1, 1}), (Rect{0, 0, 1, 1}));
    late.stop();
  }
  // Closed at once after its window went, before mpv could notice: mpv's
  // shutdown must not trip over its vanished window (which would end the
  // whole process).
  for (int i = 0; i < 5; ++i) {
    auto quick = std::make_unique<test::DisplayWindow>(320, 240, kGreen);
    MediaPlayer closing(*backend, quick->id(), true);
    openOrFail(closing, test::MakeClip(ClipOptions{.pattern = "blue", .seconds = 5}));
    closing.setDisplayRect(Rect{0, 0, 320, 240});
    if (i % 2 == 0) closing.play();
    quick.reset();
    closing.close();
    EXPECT_FALSE(closing.isOpen());
  }
  // The back end still works for the next player.
  openOrFail(player, test::MakeWav(0.5));
  player.play();
  EXPECT_TRUE(waitForMode(player, PlayerMode::Stopped, seconds(8)));
}

// --- Sounds ------------------------------------------------------------------

TEST_F(MediaPlaybackTest, wavPlaysAndThenReadsStopped) {
  MediaPlayer player(*backend, 0, false);
  openOrFail(player, test::MakeWav(1.0));
  EXPECT_EQ(player.naturalSize(), (Rect{}));
  EXPECT_EQ(player.displayRect(Rect{0, 0, 7, 7}), (Rect{0, 0, 7, 7}));
  player.play();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  EXPECT_TRUE(waitForMode(player, PlayerMode::Stopped, seconds(8)));
}

TEST_F(MediaPlaybackTest, midiPlaysAndThenReadsStopped) {
  MediaPlayer player(*backend, 0, true);
  openOrFail(player, test::MakeMidi(2));
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  player.play();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  EXPECT_TRUE(waitForMode(player, PlayerMode::Stopped, seconds(8)));
  // With auto-rewind the played-out file starts again from its beginning
  // and plays for its whole second once more.
  player.play();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  test::SleepFor(milliseconds(600));
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  EXPECT_TRUE(waitForMode(player, PlayerMode::Stopped, seconds(8)));
}

// The sound streams this process has on the sound server.
int ownSoundStreams() {
  const test::ProcessResult r = test::RunProcess({"pactl", "list", "sink-inputs"});
  const std::string own = "application.process.id = \"" + std::to_string(::getpid()) + "\"";
  int count = 0;
  for (std::size_t at = r.output.find(own); at != std::string::npos; at = r.output.find(own, at + 1)) ++count;
  return count;
}

TEST_F(MediaPlaybackTest, pausedMidiLetsGoOfItsSoundOutputAndResumesWhereItStopped) {
  std::uint32_t code = 0;
  const std::unique_ptr<MediaDevice> midi =
      FluidSynthDevice::Open(test::MakeMidi(40), FluidSynthDevice::kSoundfontFolder, MediaAudio::On, code);
  ASSERT_TRUE(midi) << code;
  ASSERT_EQ(midi->play(), 0u);
  std::int64_t position = 0;
  ASSERT_TRUE(test::WaitWhileDraining(
      queue, [&] { return midi->position(position) == 0 && position >= 1000 && ownSoundStreams() == 1; }, seconds(10)));

  ASSERT_EQ(midi->pause(), 0u);
  std::int64_t paused = 0;
  ASSERT_EQ(midi->position(paused), 0u);
  // Paused, nothing renders: the output and its stream are gone.
  EXPECT_TRUE(test::WaitWhileDraining(queue, [&] { return ownSoundStreams() == 0; }, seconds(5)));
  PlayerMode mode = PlayerMode::NotReady;
  ASSERT_EQ(midi->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Paused);

  ASSERT_EQ(midi->resume(), 0u);
  EXPECT_TRUE(test::WaitWhileDraining(queue, [&] { return ownSoundStreams() == 1; }, seconds(5)));
  // On from where it paused, not from the start.
  ASSERT_EQ(midi->position(position), 0u);
  EXPECT_GE(position, paused);
  EXPECT_TRUE(test::WaitWhileDraining(
      queue, [&] { return midi->position(position) == 0 && position >= paused + 500; }, seconds(5)));
  ASSERT_EQ(midi->mode(mode), 0u);
  EXPECT_EQ(mode, PlayerMode::Playing);
}

TEST_F(MediaPlaybackTest, playedOutMidiStaysAtItsEndWithoutAutoRewind) {
  MediaPlayer player(*backend, 0, false);
  openOrFail(player, test::MakeMidi(1));
  player.play();
  ASSERT_TRUE(waitForMode(player, PlayerMode::Stopped, seconds(8)));
  player.play();
  test::SleepFor(milliseconds(200));
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
}

// --- Files that cannot be played ------------------------------------------------

TEST_F(MediaPlaybackTest, unplayableNamesFailToOpenWithACodeAndAText) {
  test::TempDir dir;
  test::WriteFile(dir.file("notes.avi"), "This is a text file, not a video.\n");
  const std::string clip = test::MakeClip(ClipOptions{.pattern = "bars", .seconds = 2});
  const std::string whole = test::ReadFile(clip);
  test::WriteFile(dir.file("truncated.avi"), whole.substr(0, 600));
  std::filesystem::create_directory(dir.file("folder.avi"));
  test::WriteFile(dir.file("list.avi"), "#EXTM3U\nhttp://127.0.0.1:9/x.avi\n");

  const std::string names[] = {
      dir.file("missing.avi"),
      dir.file("folder.avi"),
      dir.file("notes.avi"),
      dir.file("truncated.avi"),
      dir.file("list.avi"),
      "http://127.0.0.1:9/video.avi",
      "av://lavfi:testsrc",
      "lavfi://testsrc",
      "memory://abc",
      "--help",
      "-help.avi",
      "",
      dir.file("missing.mid"),
      dir.file("notes.mid"),
  };
  test::WriteFile(dir.file("notes.mid"), "not a MIDI file");
  test::DisplayWindow window(320, 240, kGreen);
  for (const std::string& name : names) {
    MediaPlayer player(*backend, window.id(), true);
    player.setFileName(name);
    std::string message;
    try {
      player.open();
    } catch (const MediaDeviceError& e) {
      message = e.what();
    }
    EXPECT_FALSE(message.empty()) << name << " opened";
    EXPECT_NE(message, "Unknown error code") << name;
    EXPECT_EQ(message, player.errorMessage()) << name;
    EXPECT_NE(player.error(), 0u) << name;
    EXPECT_FALSE(player.isOpen()) << name;
    EXPECT_EQ(player.mode(), PlayerMode::NotReady) << name;
  }
  EXPECT_EQ(window.childCount(), 0);
}

TEST_F(MediaPlaybackTest, missingFileAndUrlHaveTheirOwnCodes) {
  MediaPlayer player(*backend, 0, true);
  player.setFileName("/nonexistent/clip.avi");
  EXPECT_THROW(player.open(), MediaDeviceError);
  const std::uint32_t missing = player.error();
  player.setFileName("https://example.invalid/clip.avi");
  EXPECT_THROW(player.open(), MediaDeviceError);
  const std::uint32_t url = player.error();
  EXPECT_NE(missing, url);
  player.setFileName("/nonexistent/other.mpg");
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_EQ(player.error(), missing);
}

}  // namespace
}  // namespace quorrel::linux_desktop
