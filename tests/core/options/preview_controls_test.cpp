#include "options/preview_controls.h"

#include <gtest/gtest.h>

#include "media/media_player.h"
#include "tests/core/media/fake_media.h"
#include "tests/core/options/option_fakes.h"

namespace quorrel {
namespace {

using test::FakeBackend;

class PreviewButtons : public ::testing::Test {
 protected:
  FakeBackend backend;
  MediaPlayer player{backend, 42, true};
  test::RecordingBoxes boxes;
  PreviewControls preview{player, boxes};
};

TEST_F(PreviewButtons, pauseAndStopBeforeTheFirstPlayDoNothing) {
  preview.pause();
  preview.stop();
  preview.returnToOptions();
  EXPECT_EQ(backend.log.opens, 0);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PreviewButtons, playWhilePlayingOrPausedReopensFromTheStart) {
  preview.play("/v/a.avi");
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  preview.pause();
  preview.play("/v/a.avi");
  EXPECT_EQ(backend.log.opens, 2);
  EXPECT_EQ(backend.log.plays, 2);
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
}

TEST_F(PreviewButtons, pauseTogglesAndStopLeavesAPausedVideoPaused) {
  preview.play("/v/a.avi");
  preview.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  preview.stop();
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  EXPECT_EQ(backend.log.stops, 0);
  preview.pause();
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  EXPECT_EQ(backend.log.resumes, 1);
  preview.stop();
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  preview.pause();
  EXPECT_EQ(backend.log.pauses, 1);
}

TEST_F(PreviewButtons, returnStopsAPlayingVideoButNotAPausedOne) {
  preview.play("/v/a.avi");
  preview.returnToOptions();
  EXPECT_EQ(backend.log.stops, 1);
  preview.play("/v/a.avi");
  preview.pause();
  preview.returnToOptions();
  EXPECT_EQ(backend.log.stops, 1);
}

TEST_F(PreviewButtons, aFileThatCannotOpenShowsItsCodeAndTextThenTheLongMessage) {
  preview.play("/v/missing.avi");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].first, MessageKind::Error);
  EXPECT_EQ(boxes.shown[0].second,
            "ErrorCode: 263\r\nThe specified device is not open or is not recognized by MCI.");
  EXPECT_EQ(boxes.shown[1], std::make_pair(MessageKind::Error, std::string(kPreviewPlayErrorText)));
  // The window stays usable: a good file plays afterwards.
  preview.play("/v/a.avi");
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  EXPECT_EQ(boxes.shown.size(), 2u);
}

}  // namespace
}  // namespace quorrel
