#include "options/preview_controls.h"

#include <gtest/gtest.h>

#include "media/media_player.h"
#include "tests/core/options/option_fakes.h"
#include "tests/core/media/fake_media.h"

namespace quorrel {
namespace {

using test::FakeBackend;

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
