#include "linux/entry/x11_display.h"

#include <gtest/gtest.h>

#include "tests/linux/entry/x11_window.h"

namespace quorrel::linux_desktop {
namespace {

using test::WmClass;
using test::X11Window;

TEST(ShowWindowLookup, findsAWindowWithTheShowsClassAndTitle) {
  ASSERT_FALSE(ProbeDisplay().showWindowOnScreen);
  {
    X11Window show(WmClass("quorrel", "TForm1"), "FrmQuorrel33");
    EXPECT_TRUE(ProbeDisplay().showWindowOnScreen);
  }
  EXPECT_FALSE(ProbeDisplay().showWindowOnScreen);
}

TEST(ShowWindowLookup, aWindowWithOnlyOneOfTheTwoDoesNotCount) {
  X11Window classOnly(WmClass("quorrel", "TForm1"), "Quorrel Options");
  X11Window titleOnly(WmClass("quorrel", "Quorrel"), "FrmQuorrel33");
  X11Window instanceNotClass(WmClass("TForm1", "Other"), "FrmQuorrel33");
  X11Window noProperties("", "");
  // A show window that was never mapped is nowhere to be seen: it must not
  // keep every later show from starting.
  X11Window unmapped(WmClass("quorrel", "TForm1"), "FrmQuorrel33", false);
  EXPECT_FALSE(ProbeDisplay().showWindowOnScreen);
}

TEST(ShowWindowLookup, unreachableDisplayHasNoShow) {
  EXPECT_FALSE(ProbeDisplay(":4711").reachable);
  EXPECT_FALSE(ProbeDisplay(":4711").showWindowOnScreen);
  EXPECT_TRUE(ProbeDisplay().reachable);
}

}  // namespace
}  // namespace quorrel::linux_desktop
