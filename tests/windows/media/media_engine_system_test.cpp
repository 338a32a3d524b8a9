// The system's own Media Engine, under Wine with its Direct3D renderer on
// OpenGL (tools/windows-tests): an H.264 file played through the back end
// with every engine method the back end uses answering in its place. A
// method declared at the wrong position in the hand-written interfaces
// would land on its neighbour and give a wrong answer here.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "media/media_player.h"
#include "tests/support/process.h"
#include "tests/windows/media/video_test_window.h"
#include "windows/media/media_engine_device.h"

namespace quorrel::windows_desktop {
namespace {

using namespace std::chrono_literals;
using test::IsReddish;
using test::PumpUntil;
using test::VideoTestWindow;

// The clip that the test's set-up made with ffmpeg: 3 s of red at
// 320 x 240 in H.264 with an AAC tone, as a Windows path.
std::string Clip() {
  const char* clip = std::getenv("QUORREL_TEST_MP4");
  return clip != nullptr ? clip : "";
}

TEST(MediaEngineOnThisSystem, theEngineIsThereAndAnswersWithTheFilesStreamsSizeAndLength) {
  HRESULT result = E_FAIL;
  const auto system = OpenSystemMediaEngine(result);
  ASSERT_NE(system, nullptr) << std::hex << result;
  // The class factory and the engine, driven directly: CreateInstance,
  // SetSource, the events, and the answers about the file.
  VideoTestWindow window;
  const auto backend = CreateMediaEngineBackend();
  MediaPlayer player(*backend, reinterpret_cast<NativeWindow>(window.panel()), true);
  ASSERT_FALSE(Clip().empty());
  player.setFileName(Clip());
  ASSERT_NO_THROW(player.open()) << player.errorMessage();
  EXPECT_EQ(player.naturalSize(), (Rect{0, 0, 320, 240}));  // HasVideo, GetNativeVideoSize
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);            // IsEnded
  player.close();                                           // Shutdown
  EXPECT_EQ(player.error(), 0u);
  // A file that is no video fails with the engine's HRESULT.
  quorrel::test::TempDir dir;
  quorrel::test::WriteFile(dir.file("notes.mp4"), "not a video");
  player.setFileName(dir.file("notes.mp4"));
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_NE(player.error() & 0x80000000u, 0u) << player.error();
}

TEST(MediaEngineOnThisSystem, anH264FilePlaysPausesEndsAndStartsAgainWithItsFramesInTheWindow) {
  VideoTestWindow window;
  const auto backend = CreateMediaEngineBackend();
  backend->setMuted(true);  // SetMuted and SetVolume; the test stays quiet
  const auto panel = reinterpret_cast<NativeWindow>(window.panel());
  std::uint32_t code = 0;
  const auto device = backend->open(Clip(), panel, code);
  ASSERT_NE(device, nullptr) << std::hex << code << " " << backend->errorText(code);
  ASSERT_EQ(device->setDisplayWindow(panel), 0u);
  ASSERT_EQ(device->setDestination(Rect{0, 0, 600, 440}), 0u);
  auto mode = [&device] {
    PlayerMode now = PlayerMode::NotReady;
    EXPECT_EQ(device->mode(now), 0u);
    return now;
  };
  auto position = [&device] {
    std::int64_t milliseconds = -1;
    EXPECT_EQ(device->position(milliseconds), 0u);
    return milliseconds;
  };
  std::int64_t length = 0;
  ASSERT_EQ(device->length(length), 0u);  // GetDuration
  EXPECT_NEAR(static_cast<double>(length), 3000.0, 100.0);
  EXPECT_EQ(position(), 0);  // GetCurrentTime

  ASSERT_EQ(device->play(), 0u);  // Play
  EXPECT_EQ(mode(), PlayerMode::Playing);
  // OnVideoStreamTick and TransferVideoFrame: the red frames, stretched
  // over the whole window.
  ASSERT_TRUE(PumpUntil([&] { return IsReddish(window.framePixel(590, 430)); }, 20s))
      << std::hex << window.framePixel(590, 430);
  EXPECT_TRUE(IsReddish(window.framePixel(5, 5)));
  ASSERT_TRUE(PumpUntil([&] { return position() > 300; }, 10s));
  EXPECT_LT(position(), length);

  ASSERT_EQ(device->pause(), 0u);  // Pause
  EXPECT_EQ(mode(), PlayerMode::Paused);
  ASSERT_EQ(device->resume(), 0u);
  EXPECT_EQ(mode(), PlayerMode::Playing);
  // IsEnded: the file plays to its end, reads as stopped, and stands at
  // its length.
  ASSERT_TRUE(PumpUntil([&] { return mode() == PlayerMode::Stopped; }, 20s));
  EXPECT_EQ(position(), length);

  // SetCurrentTime where the engine can seek, a reload where it cannot
  // (Wine): the file stands at its start again and plays from there.
  ASSERT_EQ(device->seekToStart(), 0u);
  EXPECT_LT(position(), 300);
  EXPECT_EQ(mode(), PlayerMode::Stopped);
  ASSERT_EQ(device->play(), 0u);
  EXPECT_EQ(mode(), PlayerMode::Playing);
  EXPECT_TRUE(PumpUntil([&] { return position() > 300; }, 10s));
  EXPECT_TRUE(IsReddish(window.framePixel(300, 220)));
  EXPECT_EQ(device->close(), 0u);  // Shutdown
}

}  // namespace
}  // namespace quorrel::windows_desktop
