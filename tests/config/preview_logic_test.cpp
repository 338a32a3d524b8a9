#include "config/preview_logic.h"

#include <gtest/gtest.h>

#include "media/media_player.h"
#include "tests/config/config_fakes.h"

namespace quorrel {
namespace {

// A back end whose one device keeps a mode and counts commands.
struct DeviceLog {
  TMPModes mode = TMPModes::mpStopped;
  int opens = 0, plays = 0, stops = 0, pauses = 0, resumes = 0;
  std::string lastFile;
};

class FakeDevice : public MediaDevice {
 public:
  explicit FakeDevice(DeviceLog& log) : log_(log) {}
  bool hasVideo() const override { return true; }
  TRect sourceRect() const override { return {0, 0, 320, 240}; }
  std::uint32_t close() override { return 0; }
  std::uint32_t play() override { return ++log_.plays, log_.mode = TMPModes::mpPlaying, 0u; }
  std::uint32_t stop() override { return ++log_.stops, log_.mode = TMPModes::mpStopped, 0u; }
  std::uint32_t pause() override { return ++log_.pauses, log_.mode = TMPModes::mpPaused, 0u; }
  std::uint32_t resume() override { return ++log_.resumes, log_.mode = TMPModes::mpPlaying, 0u; }
  std::uint32_t seekToStart() override { return 0; }
  std::uint32_t position(std::int64_t& ms) override { return ms = 0, 0u; }
  std::uint32_t length(std::int64_t& ms) override { return ms = 1000, 0u; }
  std::uint32_t mode(TMPModes& mode) override { return mode = log_.mode, 0u; }
  std::uint32_t setDisplayWindow(NativeWindow) override { return 0; }
  std::uint32_t setDestination(const TRect&) override { return 0; }
  std::uint32_t destination(TRect& rect) override { return rect = {0, 0, 320, 240}, 0u; }

 private:
  DeviceLog& log_;
};

class FakeBackend : public MediaBackend {
 public:
  std::unique_ptr<MediaDevice> open(const std::string& fileName, TMPDeviceTypes, std::uint32_t& code) override {
    ++log.opens;
    log.lastFile = fileName;
    if (fileName.find("missing") != std::string::npos) {
      code = 263;
      return nullptr;
    }
    code = 0;
    log.mode = TMPModes::mpStopped;
    return std::make_unique<FakeDevice>(log);
  }
  std::uint32_t noDeviceCode() const override { return 999; }
  std::string errorText(std::uint32_t code) const override {
    return code == 263 ? "The specified device is not open or is not recognized by MCI." : "";
  }
  DeviceLog log;
};

class PreviewButtons : public ::testing::Test {
 protected:
  FakeBackend backend;
  TMediaPlayer player{backend, 42, true};
  test::RecordingBoxes boxes;
  PreviewLogic preview{player, boxes};
};

TEST_F(PreviewButtons, pauseAndStopBeforeTheFirstPlayDoNothing) {
  preview.cmdpauseClick();
  preview.cmdstopClick();
  preview.BitBtn4Click();
  EXPECT_EQ(backend.log.opens, 0);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PreviewButtons, playWhilePlayingOrPausedReopensFromTheStart) {
  preview.cmdplayClick("/v/a.avi");
  EXPECT_EQ(player.mode(), TMPModes::mpPlaying);
  preview.cmdpauseClick();
  preview.cmdplayClick("/v/a.avi");
  EXPECT_EQ(backend.log.opens, 2);
  EXPECT_EQ(backend.log.plays, 2);
  EXPECT_EQ(player.mode(), TMPModes::mpPlaying);
}

TEST_F(PreviewButtons, pauseTogglesAndStopLeavesAPausedVideoPaused) {
  preview.cmdplayClick("/v/a.avi");
  preview.cmdpauseClick();
  EXPECT_EQ(player.mode(), TMPModes::mpPaused);
  preview.cmdstopClick();
  EXPECT_EQ(player.mode(), TMPModes::mpPaused);
  EXPECT_EQ(backend.log.stops, 0);
  preview.cmdpauseClick();
  EXPECT_EQ(player.mode(), TMPModes::mpPlaying);
  EXPECT_EQ(backend.log.resumes, 1);
  preview.cmdstopClick();
  EXPECT_EQ(player.mode(), TMPModes::mpStopped);
  preview.cmdpauseClick();
  EXPECT_EQ(backend.log.pauses, 1);
}

TEST_F(PreviewButtons, returnStopsAPlayingVideoButNotAPausedOne) {
  preview.cmdplayClick("/v/a.avi");
  preview.BitBtn4Click();
  EXPECT_EQ(backend.log.stops, 1);
  preview.cmdplayClick("/v/a.avi");
  preview.cmdpauseClick();
  preview.BitBtn4Click();
  EXPECT_EQ(backend.log.stops, 1);
}

TEST_F(PreviewButtons, aFileThatCannotOpenShowsItsCodeAndTextThenTheLongMessage) {
  preview.cmdplayClick("/v/missing.avi");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].first, MessageKind::Error);
  EXPECT_EQ(boxes.shown[0].second,
            "ErrorCode: 263\r\nThe specified device is not open or is not recognized by MCI.");
  EXPECT_EQ(boxes.shown[1], std::make_pair(MessageKind::Error, std::string(kPreviewPlayErrorText)));
  // The window stays usable: a good file plays afterwards.
  preview.cmdplayClick("/v/a.avi");
  EXPECT_EQ(player.mode(), TMPModes::mpPlaying);
  EXPECT_EQ(boxes.shown.size(), 2u);
}

}  // namespace
}  // namespace quorrel
