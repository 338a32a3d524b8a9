// The entry as the screen-saver host and idle tools see it: the real
// executable, its exit status and whether it stays on screen.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/linux/entry/x11_window.h"
#include "tests/support/process.h"

namespace quorrel::linux_desktop {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::TempDir;

std::map<std::string, std::string> freshHome(const TempDir& home) {
  return {{"HOME", home.path()}, {"XDG_CONFIG_HOME", home.file(".config")}};
}

TEST(Entry, everySwitchEndsWithStatusZeroWhenNoDisplayCanBeReached) {
  TempDir home;
  auto environment = freshHome(home);
  environment["DISPLAY"] = ":4711";
  for (const char* argument : {"/S", "/C", "/A", "/P", "-s"}) {
    ChildProcess quorrel({QUORREL_EXECUTABLE, argument}, environment);
    EXPECT_EQ(quorrel.waitFor(10s), std::optional<int>(0)) << argument;
  }
  ChildProcess noArgument({QUORREL_EXECUTABLE}, environment);
  EXPECT_EQ(noArgument.waitFor(10s), std::optional<int>(0));
}

TEST(Entry, switchesThatServeNothingEndAtOnce) {
  TempDir home;
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{}, {"/P", "1234"}, {"/S:1"}, {"/"}, {"-s"}, {"/A", "1234"}, {"/a:99"}}) {
    arguments.insert(arguments.begin(), QUORREL_EXECUTABLE);
    ChildProcess quorrel(arguments, freshHome(home));
    EXPECT_EQ(quorrel.waitFor(10s), std::optional<int>(0)) << arguments.size();
  }
}

TEST(Entry, theOptionsDialogStaysUntilClosedButARunningShowRefusesIt) {
  TempDir home;
  {
    ChildProcess dialog({QUORREL_EXECUTABLE, "/C"}, freshHome(home));
    EXPECT_EQ(dialog.waitFor(3s), std::nullopt) << "the options dialog should stay open";
  }
  test::X11Window show(test::WmClass("quorrel", "TForm1"), "FrmQuorrel33");
  for (const char* argument : {"/C", "/S", "/c:1234"}) {
    ChildProcess refused({QUORREL_EXECUTABLE, argument}, freshHome(home));
    EXPECT_EQ(refused.waitFor(10s), std::optional<int>(0)) << argument;
  }
}

}  // namespace
}  // namespace quorrel::linux_desktop
