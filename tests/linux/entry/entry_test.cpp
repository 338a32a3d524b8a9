// The entry as the screen-saver host and idle tools see it: the real
// executable, its exit status and whether it stays on screen.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/linux/entry/x11_window.h"
#include "tests/support/process.h"

namespace quorrel::linux_desktop {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::ProcessResult;
using test::RunProcess;
using test::TempDir;

std::map<std::string, std::string> freshHome(const TempDir& home) {
  return {{"HOME", home.path()}, {"XDG_CONFIG_HOME", home.file(".config")}};
}

// Lines the program wrote to standard error that start "quorrel: ".
std::vector<std::string> ownLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("quorrel: ")) lines.push_back(line);
  }
  return lines;
}

TEST(Entry, everySwitchEndsWithStatusZeroWhenNoDisplayCanBeReached) {
  TempDir home;
  const std::vector<std::string> environment = {"env", "-u", "DISPLAY", "HOME=" + home.path(),
                                                "XDG_CONFIG_HOME=" + home.file(".config")};
  // A display that does not answer, and none named at all. The show and
  // the options dialog cannot do what they were started for and say why
  // in one line; the rest have nothing to show and stay silent.
  for (const std::string& display : {std::string("DISPLAY=:4711"), std::string()}) {
    for (const char* argument : {"/S", "/C", "/c:1234", "--root", "/A", "/P", "-s", ""}) {
      std::vector<std::string> argv = environment;
      if (!display.empty()) argv.push_back(display);
      argv.push_back(QUORREL_EXECUTABLE);
      if (*argument != '\0') argv.push_back(argument);
      const ProcessResult run = RunProcess(argv, 10s);
      SCOPED_TRACE(display + " " + argument + ": " + run.output);
      EXPECT_EQ(run.exitStatus, 0);
      const std::vector<std::string> lines = ownLines(run.output);
      const std::string_view switchGiven = argument;
      if (switchGiven != "/S" && switchGiven != "/C" && switchGiven != "/c:1234" && switchGiven != "--root") {
        EXPECT_TRUE(lines.empty());
        continue;
      }
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_NE(lines[0].find(display.empty() ? "DISPLAY is not set" : "\":4711\" cannot be reached"),
                std::string::npos);
    }
  }
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

// The processes still running whose environment holds `entry`.
std::vector<std::string> processesWith(const std::string& entry) {
  std::vector<std::string> found;
  for (const auto& process : std::filesystem::directory_iterator("/proc")) {
    const std::string environ = test::ReadFile(process.path() / "environ");
    if (environ.find(std::string(1, '\0') + entry + '\0') == std::string::npos && !environ.starts_with(entry + '\0')) {
      continue;
    }
    found.push_back(process.path().filename().string() + " " + test::ReadFile(process.path() / "comm"));
  }
  return found;
}

bool visibleWindowNamed(const std::string& title) {
  const ProcessResult search = RunProcess({"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}, 10s);
  return search.exitStatus == 0 && !search.output.empty();
}

// Without a session bus, nothing that Quorrel starts may outlive it: libdbus
// would start a bus with dbus-launch, whose dbus-launch and dbus-daemon
// stay behind, and note it in ~/.dbus.
TEST(Entry, theDialogAndTheShowLeaveNoSessionBusBehind) {
  for (const auto& [argument, title] : {std::pair{"/C", "Quorrel Options"}, std::pair{"/S", "FrmQuorrel33"}}) {
    SCOPED_TRACE(argument);
    TempDir home;
    TempDir runtime;
    {
      ChildProcess quorrel({"env", "-u", "DBUS_SESSION_BUS_ADDRESS", QUORREL_EXECUTABLE, argument},
                           {{"HOME", home.path()},
                            {"XDG_CONFIG_HOME", home.file(".config")},
                            {"XDG_RUNTIME_DIR", runtime.path()}});
      ASSERT_TRUE(test::WaitUntil([&] { return visibleWindowNamed(title); }, 20s));
      // Return is "OK" in the dialog; any key ends the show.
      ASSERT_EQ(RunProcess({"xdotool", "key", "Return"}).exitStatus, 0);
      EXPECT_EQ(quorrel.waitFor(20s), std::optional<int>(0));
    }
    const std::vector<std::string> leftBehind = processesWith("HOME=" + home.path());
    std::string names;
    for (const std::string& process : leftBehind) {
      names += process;
      ::kill(std::stoi(process), SIGTERM);
    }
    EXPECT_TRUE(leftBehind.empty()) << names;
    EXPECT_FALSE(std::filesystem::exists(home.file(".dbus")));
  }
}

}  // namespace
}  // namespace quorrel::linux_desktop
