#include "entry/host_window.h"

#include <gtest/gtest.h>

namespace quorrel {
namespace {

TEST(HostWindow, theCommandLineComesBeforeTheEnvironmentAndTheRootWindowComesLast) {
  EXPECT_EQ(ChooseHostWindow({"--root", "--window-id", "0x2a00007"}, "44040199").window, 0x2a00007u);
  EXPECT_EQ(ChooseHostWindow({"-window-id", "44040199"}, nullptr).window, 44040199u);
  // XScreenSaver writes hexadecimal, xsecurelock decimal.
  EXPECT_EQ(ChooseHostWindow({"--root"}, "0X2A00007").window, 0x2a00007u);
  EXPECT_EQ(ChooseHostWindow({"--root"}, "44040199").window, 44040199u);
  const HostWindowChoice root = ChooseHostWindow({"-root"}, "");
  EXPECT_EQ(root.window, 0u);
  EXPECT_TRUE(root.error.empty());
}

TEST(HostWindow, anythingThatIsNotAWindowIdStopsTheShowWithAReason) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--window-id"}, {"--window-id", "0"}, {"--window-id", "-5"},
                                             {"--window-id", "0x"}, {"--window-id", "12abc"},
                                             {"--window-id", "0x20000000"}, {"--window-id", "--root"}}) {
    const HostWindowChoice choice = ChooseHostWindow(arguments, "0x2a00007");
    EXPECT_FALSE(choice.error.empty()) << arguments.back();
  }
  const HostWindowChoice fromEnvironment = ChooseHostWindow({"--root"}, "window");
  EXPECT_EQ(fromEnvironment.error, "XSCREENSAVER_WINDOW does not hold a window id: window");
}

}  // namespace
}  // namespace quorrel
