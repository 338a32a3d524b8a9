#include "options/dialog_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace quorrel {
namespace {

const WindowLayout* const kWindows[] = {&OptionsDialogLayout(), &VideoSoundDialogLayout(), &AboutBoxLayout(),
                                        &PreviewWindowLayout()};

// A slip in one row (a wrong parent, a place outside its box, an id used
// twice) would put a control where no front end can show it whole.
TEST(DialogLayout, everyControlStandsInsideItsBoxAndItsWindowOnce) {
  std::set<ControlId> seenAnywhere;
  for (const WindowLayout* window : kWindows) {
    SCOPED_TRACE(window->title);
    std::set<ControlId> seen;
    for (const ControlLayout& row : window->controls) {
      SCOPED_TRACE(static_cast<int>(row.id));
      EXPECT_TRUE(seenAnywhere.insert(row.id).second) << "the id is used twice";
      if (row.parent != ControlId::Window) {
        ASSERT_TRUE(seen.contains(row.parent)) << "the box comes after what it holds";
        const ControlKind box = window->control(row.parent).kind;
        EXPECT_TRUE(box == ControlKind::GroupBox || box == ControlKind::SunkenPanel);
        const Rect parent = window->control(row.parent).place;
        if (row.kind != ControlKind::FittedLabel) {
          EXPECT_TRUE(Contains(Rect{0, 0, parent.width, parent.height}, row.place));
        }
      }
      seen.insert(row.id);
      if (row.kind != ControlKind::FittedLabel) {
        EXPECT_TRUE(Contains(Rect{0, 0, window->width, window->height}, window->placeInWindow(row.id)));
      }
      EXPECT_EQ(row.kind == ControlKind::FittedLabel, row.place.width == 0 && row.place.height == 0);
    }
  }
}

TEST(DialogLayout, placesInTheWindowAddTheBoxesPlaces) {
  const WindowLayout& options = OptionsDialogLayout();
  EXPECT_EQ(options.placeInWindow(ControlId::HeightBar), (Rect{2 + 10 + 108, 210 + 109 + 43, 74, 13}));
  EXPECT_EQ(options.placeInWindow(ControlId::PreviewButton), (Rect{1 + 560, 140 + 15, 75, 24}));
  EXPECT_EQ(options.placeInWindow(ControlId::OkButton), (Rect{537, 455, 102, 21}));
  EXPECT_EQ(AboutBoxLayout().placeInWindow(ControlId::DisclaimerEnd), (Rect{13 + 20 + 12, 16 + 80 + 110, 405, 49}));
  EXPECT_TRUE(options.control(ControlId::OkButton).isDefault);
  EXPECT_EQ(options.control(ControlId::OkButton).picture, ButtonPicture::Check);
  EXPECT_THROW((void)options.control(ControlId::PlayButton), std::out_of_range);
  // The Tab key visits the preview's buttons as Play, Stop, Pause, Return.
  std::vector<ControlId> buttons;
  for (const ControlLayout& row : PreviewWindowLayout().controls) {
    if (row.kind == ControlKind::PushButton) buttons.push_back(row.id);
  }
  EXPECT_EQ(buttons, (std::vector<ControlId>{ControlId::PlayButton, ControlId::StopButton, ControlId::PauseButton,
                                             ControlId::PreviewReturnButton}));
}

// The check box went into free space: it overlaps no control of the
// options dialog, and the size group above it holds what it always held.
TEST(DialogLayout, everyMonitorBoxStandsClearOfEveryOtherControl) {
  const WindowLayout& options = OptionsDialogLayout();
  const Rect box = options.placeInWindow(ControlId::EveryMonitorBox);
  EXPECT_EQ(options.control(ControlId::EveryMonitorBox).kind, ControlKind::CheckBox);
  for (const ControlLayout& row : options.controls) {
    if (row.id == ControlId::EveryMonitorBox || row.kind == ControlKind::FittedLabel) continue;
    SCOPED_TRACE(static_cast<int>(row.id));
    EXPECT_TRUE(Intersection(box, options.placeInWindow(row.id)).empty());
  }
  EXPECT_EQ(options.placeInWindow(ControlId::SizeGroup), (Rect{2, 210, 350, 202}));
}

TEST(DialogLayout, scalingMovesEdgesSoThatTouchingControlsStillTouch) {
  const Rect left{0, 0, 5, 5};
  const Rect right{5, 0, 5, 5};
  for (const int dpi : {96, 120, 144, 168, 192}) {
    SCOPED_TRACE(dpi);
    const Rect a = ScaledRect(left, dpi);
    const Rect b = ScaledRect(right, dpi);
    EXPECT_EQ(a.left + a.width, b.left);
  }
  EXPECT_EQ(ScaledRect(Rect{1, 37, 640, 100}, 96), (Rect{1, 37, 640, 100}));
  // 1.5 times: the options dialog's client area, and a half pixel going
  // away from zero (477 x 1.5 = 715.5).
  EXPECT_EQ(ScaledLength(642, 144), 963);
  EXPECT_EQ(ScaledLength(477, 144), 716);
  EXPECT_EQ(ScaledRect(Rect{537, 455, 102, 21}, 192), (Rect{1074, 910, 204, 42}));
  EXPECT_EQ(ScaledRect(Rect{5, 5, 631, 28}, 120), (Rect{6, 6, 789, 35}));
}

TEST(DialogLayout, fontsGrowWithTheScreensDotsPerInch) {
  EXPECT_EQ(FontPixelHeight(kArial8, 96), 11);
  EXPECT_EQ(FontPixelHeight(kArial8, 120), 13);
  EXPECT_EQ(FontPixelHeight(kArial8, 144), 16);
  EXPECT_EQ(FontPixelHeight(kArial8, 192), 21);
  EXPECT_EQ(FontPixelHeight(AboutBoxLayout().control(ControlId::VersionLabel).font, 96), 12);
}

}  // namespace
}  // namespace quorrel
