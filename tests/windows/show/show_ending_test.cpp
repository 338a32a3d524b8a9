#include "windows/show/show_ending.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "media/media_device.h"
#include "media/media_player.h"

namespace quorrel::windows_desktop {
namespace {

using namespace std::chrono_literals;

// What happened to one fake device, and on which thread.
struct DeviceRecord {
  std::atomic<DWORD> stoppedOn{0};
  std::atomic<DWORD> closedOn{0};
  // Set for a device whose close never returns, as a media framework stuck
  // in its own shutdown.
  HANDLE closeBlocksOn = nullptr;
};

class RecordingDevice : public MediaDevice {
 public:
  RecordingDevice(DeviceRecord& record, bool anyThread) : record_(record), anyThread_(anyThread) {}
  ~RecordingDevice() override { (void)close(); }
  bool hasVideo() const override { return true; }
  Rect sourceRect() const override { return {0, 0, 320, 240}; }
  std::uint32_t close() override {
    if (record_.closedOn == 0) record_.closedOn = ::GetCurrentThreadId();
    if (record_.closeBlocksOn != nullptr) ::WaitForSingleObject(record_.closeBlocksOn, INFINITE);
    return 0;
  }
  std::uint32_t play() override { return 0; }
  std::uint32_t stop() override { return record_.stoppedOn = ::GetCurrentThreadId(), 0u; }
  std::uint32_t pause() override { return 0; }
  std::uint32_t resume() override { return 0; }
  std::uint32_t seekToStart() override { return 0; }
  std::uint32_t position(std::int64_t& ms) override { return ms = 0, 0u; }
  std::uint32_t length(std::int64_t& ms) override { return ms = 1000, 0u; }
  std::uint32_t mode(PlayerMode& mode) override { return mode = PlayerMode::Playing, 0u; }
  std::uint32_t setDisplayWindow(NativeWindow) override { return 0; }
  std::uint32_t setDestination(const Rect&) override { return 0; }
  std::uint32_t destination(Rect& rect) override { return rect = {0, 0, 320, 240}, 0u; }
  bool closesOnAnyThread() const override { return anyThread_; }

 private:
  DeviceRecord& record_;
  bool anyThread_;
};

class RecordingBackend : public MediaBackend {
 public:
  RecordingBackend(DeviceRecord& record, bool anyThread) : record_(record), anyThread_(anyThread) {}
  std::unique_ptr<MediaDevice> open(const std::string&, NativeWindow, std::uint32_t& code) override {
    code = 0;
    return std::make_unique<RecordingDevice>(record_, anyThread_);
  }
  std::uint32_t noDeviceCode() const override { return 1; }
  std::string errorText(std::uint32_t) const override { return {}; }

 private:
  DeviceRecord& record_;
  bool anyThread_;
};

std::unique_ptr<MediaPlayer> playing(MediaBackend& backend) {
  auto player = std::make_unique<MediaPlayer>(backend, 0, false);
  player->setFileName("C:\\\\clip.mp4");
  player->open();
  player->play();
  return player;
}

TEST(ShowEnding, playersStopAndCloseEachOnTheThreadTheirDeviceAllows) {
  DeviceRecord engine;
  DeviceRecord mci;
  RecordingBackend engineBackend(engine, true);
  RecordingBackend mciBackend(mci, false);
  std::vector<std::unique_ptr<MediaPlayer>> players;
  players.push_back(playing(engineBackend));
  players.push_back(playing(mciBackend));
  players.push_back(nullptr);
  EXPECT_TRUE(ReleasePlayers(std::move(players), 10s));
  const DWORD here = ::GetCurrentThreadId();
  EXPECT_NE(engine.stoppedOn, 0u);
  EXPECT_NE(engine.closedOn, 0u);
  EXPECT_NE(engine.closedOn, here) << "the Media Engine's player is closed off this thread";
  EXPECT_EQ(mci.stoppedOn, here) << "MCI's player is stopped on the thread that opened it";
  EXPECT_EQ(mci.closedOn, here);
}

TEST(ShowEnding, aPlayerThatNeverClosesIsLeftBehindOnceTheBoundHasPassed) {
  // Kept for the life of the test program: the stuck thread holds on to it.
  auto& stuck = *new DeviceRecord;
  stuck.closeBlocksOn = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  auto& backend = *new RecordingBackend(stuck, true);
  std::vector<std::unique_ptr<MediaPlayer>> players;
  players.push_back(playing(backend));
  // Returns, and says so; the caller then ends the process.
  EXPECT_FALSE(ReleasePlayers(std::move(players), 300ms));
  EXPECT_NE(stuck.closedOn, 0u);
}

}  // namespace
}  // namespace quorrel::windows_desktop
