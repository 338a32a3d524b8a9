// The display's power level as the show reads it from the X server, and
// the watch that reports its changes. The test display has no DPMS of its
// own: the test runs with the DPMS stand-in preloaded (tests/CMakeLists.txt)
// and writes the level the stand-in answers with.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "linux/show/display_power_watch.h"
#include "linux/show/x11_display_power.h"
#include "tests/support/process.h"

namespace quorrel::linux_desktop {
namespace {

using namespace std::chrono_literals;

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "display_power_test";
  static char* argv[] = {name, nullptr};
  static auto* app = new QCoreApplication(argc, argv);
  return *app;
}

class DisplayPowerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_NE(std::getenv("LD_PRELOAD"), nullptr) << "the DPMS stand-in is not preloaded";
    setenv("DPMS_STAND_IN_FILE", levelFile.c_str(), 1);
  }
  void TearDown() override { unsetenv("DPMS_STAND_IN_FILE"); }

  void setLevel(const std::string& words) { test::WriteFile(levelFile, words + "\n"); }

  // Runs Qt's event loop until `condition` holds or `timeout` passes.
  template <typename Condition>
  bool processUntil(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
  }

  test::TempDir dir;
  std::string levelFile = dir.file("dpms");
  std::vector<bool> reported;
};

TEST_F(DisplayPowerTest, standbySuspendAndOffArePoweredDownAndEverythingElseIsOn) {
  struct Case {
    const char* level;
    bool hasLevels;
    bool poweredDown;
  };
  for (const Case& c : {Case{"on", true, false}, Case{"standby", true, true}, Case{"suspend", true, true},
                        Case{"off", true, true}, Case{"off disabled", true, false}, Case{"off incapable", false, false},
                        Case{"off absent", false, false}}) {
    setLevel(c.level);
    const std::unique_ptr<X11DisplayPower> power = X11DisplayPower::Open();
    ASSERT_TRUE(power);
    EXPECT_EQ(power->hasPowerLevels(), c.hasLevels) << c.level;
    EXPECT_EQ(power->poweredDown(), c.poweredDown) << c.level;
    // A DPMS request to a server without the extension would have closed
    // the connection.
    EXPECT_FALSE(power->broken()) << c.level;
  }

  // The level is asked afresh on every read.
  setLevel("on");
  const std::unique_ptr<X11DisplayPower> power = X11DisplayPower::Open();
  setLevel("off");
  EXPECT_TRUE(power->poweredDown());
  setLevel("on");
  EXPECT_FALSE(power->poweredDown());
}

TEST_F(DisplayPowerTest, thePollReportsEachChangeOnce) {
  setLevel("on");
  DisplayPowerWatch watch(X11DisplayPower::Open(), [&](bool down) { reported.push_back(down); }, 30ms);
  watch.start();
  EXPECT_TRUE(reported.empty());
  setLevel("standby");
  ASSERT_TRUE(processUntil([&] { return reported.size() == 1; }, 5s));
  setLevel("on");
  ASSERT_TRUE(processUntil([&] { return reported.size() == 2; }, 5s));
  // Polls in between that read the same level added nothing.
  setLevel("off");
  ASSERT_TRUE(processUntil([&] { return reported.size() == 3; }, 5s));
  EXPECT_EQ(reported, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(watch.poweredDown());
}

TEST_F(DisplayPowerTest, aDarkStartIsReportedAtOnceAndPointerMotionChecksAgain) {
  setLevel("off");
  // A poll far too slow to matter: only the pointer can bring the news.
  DisplayPowerWatch watch(X11DisplayPower::Open(), [&](bool down) { reported.push_back(down); }, 1h);
  watch.start();
  EXPECT_EQ(reported, std::vector<bool>{true});

  setLevel("on");
  // Moved as a mouse moves it; a warp to a place (xdotool mousemove) is no
  // motion of a device and wakes nothing.
  ASSERT_EQ(test::RunProcess({"xdotool", "mousemove_relative", "--", "5", "-5"}).exitStatus, 0);
  EXPECT_TRUE(processUntil([&] { return reported.size() == 2; }, 5s));
  EXPECT_EQ(reported, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace quorrel::linux_desktop
