// The options dialog on a small monitor at twice the scale, framed by a
// window manager: an X server of the test's own, openbox, the real program.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/process.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// A window's frame on `display` as its window manager drew it: left, top,
// right and bottom edges, title bar and borders included; nothing before
// the manager has framed it.
std::optional<std::array<int, 4>> FrameOf(const std::string& display, const std::string& title) {
  const ProcessResult found =
      RunProcess({"env", "DISPLAY=" + display, "xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"});
  std::istringstream ids(found.output);
  std::string id;
  if (!(ids >> id)) return std::nullopt;
  const std::string info = RunProcess({"xwininfo", "-display", display, "-id", id}).output;
  const std::string extents = RunProcess({"xprop", "-display", display, "-id", id, "_NET_FRAME_EXTENTS"}).output;
  std::smatch at;
  std::smatch frame;
  const std::regex placeText("upper-left X: +(-?\\d+)[^]*upper-left Y: +(-?\\d+)[^]*Width: (\\d+)[^]*Height: (\\d+)");
  const std::regex framesText("= (\\d+), (\\d+), (\\d+), (\\d+)");
  if (!std::regex_search(info, at, placeText) || !std::regex_search(extents, frame, framesText)) return std::nullopt;
  const int x = std::stoi(at[1]);
  const int y = std::stoi(at[2]);
  return std::array<int, 4>{x - std::stoi(frame[1]), y - std::stoi(frame[3]),
                            x + std::stoi(at[3]) + std::stoi(frame[2]), y + std::stoi(at[4]) + std::stoi(frame[4])};
}

// The options dialog at 200 % on a 1280x1024 monitor is nearly the
// monitor's size: with a window manager's title bar over it, the whole
// frame stays on the screen, a margin is left below it, and OK is not cut.
TEST(DialogOnASmallMonitor, atTwiceTheScaleTheFramedDialogStaysOnTheScreenWithAMarginBelow) {
  TempDir home;
  OwnXvfb monitor(1280, 1024);
  // A desktop scaled to 200 %, as a HiDPI desktop sets it.
  (void)RunProcess({"env", "DISPLAY=" + monitor.display(), "sh", "-c", "echo 'Xft.dpi: 192' | xrdb -merge"});
  ChildProcess windowManager({"openbox"}, {{"DISPLAY", monitor.display()}});
  std::map<std::string, std::string> scaled = {
      {"DISPLAY", monitor.display()}, {"HOME", home.path()}, {"XDG_CONFIG_HOME", home.path() + "/.config"}};
  scaled.insert(kDesktopLocale.begin(), kDesktopLocale.end());
  ChildProcess config({QUORREL_EXECUTABLE, "/C"}, scaled);
  std::optional<std::array<int, 4>> frame;
  const bool placed = WaitUntil(
      [&] {
        frame = FrameOf(monitor.display(), "Quorrel Options");
        return frame && (*frame)[0] >= 0 && (*frame)[1] >= 0 && (*frame)[2] <= 1280 && 1024 - (*frame)[3] >= 8;
      },
      15s);
  ASSERT_TRUE(frame.has_value()) << "the dialog was not framed";
  EXPECT_TRUE(placed) << "frame from (" << (*frame)[0] << ", " << (*frame)[1] << ") to (" << (*frame)[2] << ", "
                      << (*frame)[3] << ") on a 1280x1024 screen";
  EXPECT_TRUE(config.running());
  // Nothing of the dialog is cut at the bottom: its client area keeps its
  // full height at 200 %, OK included.
  const std::string info = RunProcess({"env", "DISPLAY=" + monitor.display(), "xdotool", "search", "--onlyvisible",
                                       "--name", "^Quorrel Options$", "getwindowgeometry"})
                               .output;
  EXPECT_NE(info.find("x954"), std::string::npos) << info;
}

}  // namespace
}  // namespace quorrel::test
