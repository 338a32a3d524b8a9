#include "media/media_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorrel {
namespace {

// What the fake device has been asked, shared with the test so that it can
// still be read once the player has destroyed the device.
struct DeviceScript {
  std::vector<std::string> calls;
  bool hasVideo = true;
  Rect source{0, 0, 320, 240};
  Rect destination{0, 0, 320, 240};
  PlayerMode mode = PlayerMode::Stopped;
  std::int64_t position = 0;
  std::int64_t length = 4000;
  std::map<std::string, std::uint32_t> failures;  // command name -> code

  std::uint32_t result(const std::string& name) {
    calls.push_back(name);
    const auto found = failures.find(name);
    return found == failures.end() ? 0 : found->second;
  }
};

class FakeDevice : public MediaDevice {
 public:
  explicit FakeDevice(std::shared_ptr<DeviceScript> script) : s_(std::move(script)) {}
  ~FakeDevice() override { s_->calls.push_back("destroyed"); }

  bool hasVideo() const override { return s_->hasVideo; }
  Rect sourceRect() const override { return s_->source; }
  std::uint32_t close() override { return s_->result("close"); }
  std::uint32_t play() override {
    const auto code = s_->result("play");
    if (code == 0) s_->mode = PlayerMode::Playing;
    return code;
  }
  std::uint32_t stop() override { return s_->result("stop"); }
  std::uint32_t pause() override {
    const auto code = s_->result("pause");
    if (code == 0) s_->mode = PlayerMode::Paused;
    return code;
  }
  std::uint32_t resume() override {
    const auto code = s_->result("resume");
    if (code == 0) s_->mode = PlayerMode::Playing;
    return code;
  }
  std::uint32_t seekToStart() override {
    s_->position = 0;
    return s_->result("seekToStart");
  }
  std::uint32_t position(std::int64_t& ms) override {
    ms = s_->position;
    return s_->result("position");
  }
  std::uint32_t length(std::int64_t& ms) override {
    ms = s_->length;
    return s_->result("length");
  }
  std::uint32_t mode(PlayerMode& m) override {
    m = s_->mode;
    return s_->result("mode");
  }
  std::uint32_t setDisplayWindow(NativeWindow window) override {
    return s_->result("setDisplayWindow " + std::to_string(window));
  }
  std::uint32_t setDestination(const Rect& r) override {
    const auto code = s_->result("setDestination " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                                 std::to_string(r.width) + "," + std::to_string(r.height));
    if (code == 0) s_->destination = r;
    return code;
  }
  std::uint32_t destination(Rect& r) override {
    const auto code = s_->result("destination");
    if (code == 0) r = s_->destination;
    return code;
  }

 private:
  std::shared_ptr<DeviceScript> s_;
};

constexpr std::uint32_t kNoDevice = 263;
constexpr std::uint32_t kFileNotFound = 275;

class FakeBackend : public MediaBackend {
 public:
  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow,
                                    std::uint32_t& code) override {
    opened.push_back(fileName);
    if (fileName.find("missing") != std::string::npos) {
      code = kFileNotFound;
      return nullptr;
    }
    if (fileName.find("silent-failure") != std::string::npos) {
      code = 9999;
      return nullptr;
    }
    code = 0;
    script = std::make_shared<DeviceScript>(nextScript);
    scripts.push_back(script);
    return std::make_unique<FakeDevice>(script);
  }
  std::uint32_t noDeviceCode() const override { return kNoDevice; }
  std::string errorText(std::uint32_t code) const override {
    if (code == kFileNotFound) return "The specified file cannot be found.";
    if (code == kNoDevice) return "The specified device is not open.";
    if (code == 77) return std::string(5000, 'x');
    return "";
  }

  DeviceScript nextScript;
  std::shared_ptr<DeviceScript> script;
  std::vector<std::shared_ptr<DeviceScript>> scripts;
  std::vector<std::string> opened;
};

class MediaPlayerTest : public ::testing::Test {
 protected:
  FakeBackend backend;
};

void ExpectNoDeviceOpen(const std::function<void()>& operation) {
  try {
    operation();
    FAIL() << "expected MediaDeviceError";
  } catch (const MediaDeviceError& e) {
    EXPECT_STREQ(e.what(), "No MCI device open");
  }
}

// --- Nothing open ---------------------------------------------------------

TEST_F(MediaPlayerTest, commandsWithNothingOpenRaiseNoDeviceOpenAndKeepTheErrorCode) {
  MediaPlayer player(backend, 0, true);
  ExpectNoDeviceOpen([&] { player.play(); });
  ExpectNoDeviceOpen([&] { player.stop(); });
  ExpectNoDeviceOpen([&] { player.pause(); });
  ExpectNoDeviceOpen([&] { player.resume(); });
  EXPECT_EQ(player.error(), 0u);
}

TEST_F(MediaPlayerTest, modeWithNothingOpenIsNotReadyAndRecordsTheNoDeviceCode) {
  MediaPlayer player(backend, 0, true);
  EXPECT_EQ(player.mode(), PlayerMode::NotReady);
  EXPECT_EQ(player.error(), kNoDevice);
  EXPECT_EQ(player.errorMessage(), "The specified device is not open.");
}

TEST_F(MediaPlayerTest, closeWithNothingOpenKeepsTheErrorCode) {
  MediaPlayer player(backend, 0, true);
  (void)player.mode();
  player.close();
  EXPECT_EQ(player.error(), kNoDevice);
}

TEST_F(MediaPlayerTest, displayRectWithNothingOpenReturnsTheCallersRectAndSendsNothing) {
  MediaPlayer player(backend, 42, true);
  player.setDisplayRect(Rect{0, 0, 100, 100});
  EXPECT_EQ(player.displayRect(Rect{1, 2, 3, 4}), (Rect{1, 2, 3, 4}));
  EXPECT_TRUE(backend.opened.empty());
}

// --- Open -----------------------------------------------------------------

TEST_F(MediaPlayerTest, failedOpenRaisesTheBackendTextAndLeavesNothingOpen) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/missing.avi");
  try {
    player.open();
    FAIL() << "expected MediaDeviceError";
  } catch (const MediaDeviceError& e) {
    EXPECT_STREQ(e.what(), "The specified file cannot be found.");
  }
  EXPECT_EQ(player.error(), kFileNotFound);
  EXPECT_FALSE(player.isOpen());
}

TEST_F(MediaPlayerTest, failedOpenWithoutBackendTextRaisesUnknownErrorCode) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/silent-failure.avi");
  EXPECT_THROW(
      {
        try {
          player.open();
        } catch (const MediaDeviceError& e) {
          EXPECT_STREQ(e.what(), "Unknown error code");
          throw;
        }
      },
      MediaDeviceError);
  EXPECT_EQ(player.error(), 9999u);
}

TEST_F(MediaPlayerTest, failedOpenOnAnOpenPlayerClosesTheOldFileFirst) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/one.avi");
  player.open();
  auto first = backend.script;
  player.setFileName("/missing.avi");
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_FALSE(player.isOpen());
  EXPECT_EQ(first->calls.back(), "destroyed");
}

TEST_F(MediaPlayerTest, openAppliesTheDisplayWindowAndTakesTheNaturalSizeFromThePlacement) {
  backend.nextScript.source = Rect{0, 0, 640, 360};
  backend.nextScript.destination = Rect{0, 0, 640, 360};
  MediaPlayer player(backend, 77, true);
  player.setFileName("/clip.avi");
  player.open();
  EXPECT_EQ(player.naturalSize(), (Rect{0, 0, 640, 360}));
  const std::vector<std::string> expected = {"setDisplayWindow 77", "destination", "mode"};
  EXPECT_EQ(backend.script->calls, expected);
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
}

TEST_F(MediaPlayerTest, errorCodeAfterOpenIsTheResultOfTheClosingModeQuery) {
  backend.nextScript.failures["mode"] = 5;
  MediaPlayer player(backend, 77, true);
  player.setFileName("/clip.avi");
  player.open();
  EXPECT_EQ(player.error(), 5u);
}

TEST_F(MediaPlayerTest, failedDisplayWindowMakesThePlayerForgetItsDisplay) {
  backend.nextScript.failures["setDisplayWindow 77"] = 12;
  MediaPlayer player(backend, 77, true);
  player.setFileName("/clip.avi");
  player.open();
  EXPECT_TRUE(player.isOpen());
  EXPECT_EQ(player.display(), 0u);
}

TEST_F(MediaPlayerTest, soundFileOpensWithoutDisplayWindowOrPlacementQueries) {
  backend.nextScript.hasVideo = false;
  backend.nextScript.source = Rect{};
  MediaPlayer player(backend, 77, false);
  player.setFileName("/tone.wav");
  player.open();
  EXPECT_EQ(backend.script->calls, std::vector<std::string>{"mode"});
  player.setDisplayRect(Rect{0, 0, 50, 50});
  EXPECT_EQ(player.displayRect(Rect{0, 0, 9, 9}), (Rect{0, 0, 9, 9}));
  EXPECT_EQ(backend.script->calls, std::vector<std::string>{"mode"});
}

TEST_F(MediaPlayerTest, openingASecondFileClosesTheFirst) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/one.avi");
  player.open();
  auto first = backend.script;
  player.setFileName("/two.avi");
  player.open();
  ASSERT_GE(first->calls.size(), 2u);
  EXPECT_EQ(first->calls[first->calls.size() - 2], "close");
  EXPECT_EQ(first->calls.back(), "destroyed");
  EXPECT_EQ(backend.opened, (std::vector<std::string>{"/one.avi", "/two.avi"}));
}

// --- Close and destruction ------------------------------------------------

TEST_F(MediaPlayerTest, failedCloseLeavesTheDeviceOpen) {
  backend.nextScript.failures["close"] = 30;
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  player.close();
  EXPECT_TRUE(player.isOpen());
  EXPECT_EQ(player.error(), 30u);
}

TEST_F(MediaPlayerTest, destroyingThePlayerClosesItsFile) {
  std::shared_ptr<DeviceScript> script;
  {
    MediaPlayer player(backend, 0, true);
    player.setFileName("/clip.avi");
    player.open();
    script = backend.script;
  }
  ASSERT_GE(script->calls.size(), 2u);
  EXPECT_EQ(script->calls[script->calls.size() - 2], "close");
  EXPECT_EQ(script->calls.back(), "destroyed");
}

// --- Play, auto-rewind, pause and resume ------------------------------------

TEST_F(MediaPlayerTest, playAtTheEndRewindsFirstWhenAutoRewindIsOn) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->position = 4000;
  backend.script->calls.clear();
  player.play();
  EXPECT_EQ(backend.script->calls, (std::vector<std::string>{"position", "length", "seekToStart", "play"}));
}

TEST_F(MediaPlayerTest, playAtTheEndDoesNotRewindWithoutAutoRewind) {
  MediaPlayer player(backend, 0, false);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->position = 4000;
  backend.script->calls.clear();
  player.play();
  EXPECT_EQ(backend.script->calls, std::vector<std::string>{"play"});
}

TEST_F(MediaPlayerTest, playBeforeTheEndDoesNotRewind) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->position = 1200;
  backend.script->calls.clear();
  player.play();
  EXPECT_EQ(backend.script->calls, (std::vector<std::string>{"position", "length", "play"}));
}

TEST_F(MediaPlayerTest, failedPlayIsRecordedWithoutRaising) {
  backend.nextScript.failures["play"] = 44;
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  EXPECT_NO_THROW(player.play());
  EXPECT_EQ(player.error(), 44u);
}

TEST_F(MediaPlayerTest, pauseIsAToggle) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  player.play();
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  player.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
}

TEST_F(MediaPlayerTest, pauseOnAStoppedDeviceDoesNothing) {
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->calls.clear();
  player.pause();
  EXPECT_EQ(backend.script->calls, (std::vector<std::string>{"mode", "mode"}));
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
}

TEST_F(MediaPlayerTest, resumeThatFailsFallsBackToPlay) {
  backend.nextScript.failures["resume"] = 8;
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->calls.clear();
  player.resume();
  EXPECT_EQ(backend.script->calls, (std::vector<std::string>{"resume", "position", "length", "play"}));
  EXPECT_EQ(player.error(), 0u);
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
}

// --- Display rectangle ------------------------------------------------------

TEST_F(MediaPlayerTest, zeroRectangleMeansTheNaturalSize) {
  backend.nextScript.source = Rect{0, 0, 640, 360};
  backend.nextScript.destination = Rect{0, 0, 640, 360};
  MediaPlayer player(backend, 77, true);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->calls.clear();
  player.setDisplayRect(Rect{0, 0, 1024, 768});
  player.setDisplayRect(Rect{0, 0, 0, 0});
  EXPECT_EQ(player.displayRect(Rect{}), (Rect{0, 0, 640, 360}));
  EXPECT_EQ(backend.script->calls,
            (std::vector<std::string>{"setDestination 0,0,1024,768", "setDestination 0,0,640,360", "destination"}));
}

TEST_F(MediaPlayerTest, failedPlacementQueryReturnsTheCallersRectAndRecordsTheCode) {
  MediaPlayer player(backend, 77, true);
  player.setFileName("/clip.avi");
  player.open();
  backend.script->failures["destination"] = 19;
  EXPECT_EQ(player.displayRect(Rect{0, 0, 5, 6}), (Rect{0, 0, 5, 6}));
  EXPECT_EQ(player.error(), 19u);
}

// --- Error texts ------------------------------------------------------------

TEST_F(MediaPlayerTest, errorMessageIsCutToTheTextBufferLength) {
  backend.nextScript.failures["mode"] = 77;
  MediaPlayer player(backend, 0, true);
  player.setFileName("/clip.avi");
  player.open();
  EXPECT_EQ(player.errorMessage().size(), 4095u);
}

}  // namespace
}  // namespace quorrel
