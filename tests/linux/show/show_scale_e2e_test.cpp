// The show in the screen's own pixels on desktops that scale (Xft.dpi 192,
// a fractional QT_SCALE_FACTOR), and panels far larger than the screen:
// what shows is the visible part of it, nothing larger is made, and the
// video after a larger one is drawn as if it came first.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <utility>
#include <ostream>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// A 2x desktop: GNOME, KDE and Xfce set this for a scale of two.
void setDesktopDpi(const std::string& display, int dpi) {
  const ProcessResult r = RunProcess(
      {"sh", "-c", "echo 'Xft.dpi: " + std::to_string(dpi) + "' | env DISPLAY=" + display + " xrdb -nocpp -merge"});
  ASSERT_EQ(r.exitStatus, 0) << r.output;
}

// Where one long clip's `colour` shows once the show runs with `options`.
Box panelOf(const std::string& display, const std::string& options, const std::string& colour,
            const std::map<std::string, std::string>& environment = {}, int width = 320, int height = 240) {
  ShowRun show(display);
  show.settings(options, {SolidClip(colour, width, height, 20.0)});
  show.start(environment);
  const Seen seen = colour == "red" ? Seen::Red : Seen::Blue;
  Box box;
  WaitUntil([&] { return (box = Screenshot(display).boundsOf(seen)).width > 0; }, 10s);
  // The first frame may land a moment after the panel moved.
  SleepFor(300ms);
  box = Screenshot(display).boundsOf(seen);
  Xdotool(display, {"key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
  return box;
}

TEST(ScreenPixels, aScaledDesktopGetsPanelsAndVideosInTheScreensOwnPixels) {
  OwnXvfb screen(1024, 768);
  setDesktopDpi(screen.display(), 192);
  EXPECT_EQ(panelOf(screen.display(), "Picdis=2\nSound=0", "red"), (Box{256, 192, 512, 384}));
  // One video pixel to one screen pixel at the video's own size.
  EXPECT_EQ(panelOf(screen.display(), "Picdis=5\nSound=0", "blue"), (Box{352, 264, 320, 240}));
  const std::map<std::string, std::string> fractional = {{"QT_SCALE_FACTOR", "1.5"}};
  EXPECT_EQ(panelOf(screen.display(), "Picdis=3\nSound=0", "red", fractional), (Box{384, 288, 256, 192}));
  EXPECT_EQ(panelOf(screen.display(), "Picdis=1\nSound=0", "blue", fractional), (Box{0, 0, 1024, 768}));

  // A host's module on the same desktop fills the host's window.
  TempDir home;
  WriteSettings(home.path(), "Picdis=1\nSound=0", {SolidClip("red", 320, 240, 20.0)});
  ChildProcess hosted({QUORREL_EXECUTABLE, "--root"}, {{"HOME", home.path()},
                                                       {"XDG_CONFIG_HOME", home.path()},
                                                       {"DISPLAY", screen.display()},
                                                       {"QT_SCALE_FACTOR", "1.5"}});
  Box red;
  EXPECT_TRUE(WaitUntil(
      [&] { return (red = Screenshot(screen.display()).boundsOf(Seen::Red)) == Box{0, 0, 1024, 768}; }, 15s))
      << red;
  hosted.signal(SIGTERM);
  EXPECT_EQ(hosted.waitFor(10s), 128 + SIGTERM);
}

// The top-left corner of the window titled `title`, in screen pixels.
std::optional<std::pair<int, int>> WindowCorner(const std::string& display, const std::string& title) {
  const ProcessResult r = RunProcess({"env", "DISPLAY=" + display, "sh", "-c",
                                      "xdotool getwindowgeometry --shell $(xdotool search --onlyvisible --name '^" +
                                          title + "$' | head -n 1)"});
  const auto value = [&](const std::string& key) {
    const auto at = r.output.find(key + "=");
    return at == std::string::npos ? -1 : std::stoi(r.output.substr(at + key.size() + 1));
  };
  if (r.exitStatus != 0 || value("X") < 0) return std::nullopt;
  return std::pair{value("X"), value("Y")};
}

TEST(ScreenPixels, thePreviewOnA2xDesktopShowsTheVideoAtItsOwnSizeInTheScreensPixels) {
  // The dialogs scale as Qt does, twice their size; the video in the
  // preview's panel stays one video pixel to one screen pixel, in the
  // panel's top-left corner.
  OwnXvfb screen(2048, 1536);
  setDesktopDpi(screen.display(), 192);
  TempDir home;
  WriteSettings(home.path(), "Sound=0", {SolidClip("red", 320, 240, 20.0)});
  ChildProcess dialog({QUORREL_EXECUTABLE, "/C"},
                      {{"HOME", home.path()}, {"XDG_CONFIG_HOME", home.path()}, {"DISPLAY", screen.display()}});
  std::optional<std::pair<int, int>> options;
  ASSERT_TRUE(WaitUntil([&] { return (options = WindowCorner(screen.display(), "Quorrel Options")).has_value(); }, 15s));
  // "Preview", at its place in the dialog's layout, twice as far.
  Xdotool(screen.display(), {"mousemove", std::to_string(options->first + 2 * (560 + 37)),
                             std::to_string(options->second + 2 * (140 + 15 + 12)), "click", "1"});
  std::optional<std::pair<int, int>> preview;
  ASSERT_TRUE(WaitUntil([&] { return (preview = WindowCorner(screen.display(), "Preview Video")).has_value(); }, 10s));
  // "Play".
  Xdotool(screen.display(), {"mousemove", std::to_string(preview->first + 2 * (456 + 37)),
                             std::to_string(preview->second + 2 * (95 + 12)), "click", "1"});
  Box red;
  EXPECT_TRUE(WaitUntil([&] { return (red = Screenshot(screen.display()).boundsOf(Seen::Red)).width == 320; }, 10s));
  EXPECT_EQ(red, (Box{preview->first + 2 * 16, preview->second + 2 * 8, 320, 240}));
}

// The largest process size, in kilobytes, the process has had.
long PeakKilobytes(pid_t pid) {
  const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
  const auto at = status.find("VmHWM:");
  return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
}

// Red on the left half of the picture, blue on the right.
std::string SplitClip() {
  return MakeClip({.pattern = "red|blue", .width = 320, .height = 240, .seconds = 30.0,
                   .container = Container::Mp4});
}

// Whether the screen shows the split picture's middle: red up to the
// screen's middle, blue after it.
bool showsTheMiddleOfTheSplit(const Screenshot& screen) {
  return Classify(screen.at(20, 384)) == Seen::Red && Classify(screen.at(400, 384)) == Seen::Red &&
         Classify(screen.at(624, 384)) == Seen::Blue && Classify(screen.at(1000, 760)) == Seen::Blue;
}

TEST(HugePanel, aCustomSizeFarBeyondTheScreenShowsItsVisiblePartAndEndsWithTheEndMute) {
  // A hand-edited size of 32767 x 32767, with the system muted at the
  // start and un-muted at the end. The panel stays centred; the screen
  // shows the middle of the picture, the boundary of its halves in the
  // screen's middle, and the process never grows to the panel's size.
  SetSinkMute(false);
  const std::string options = "Picdis=4\nWidth=32767\nHeight=32767\nSound=0\nStarton=0\nEndon=1";
  {
    ShowRun show;
    show.settings(options, {SplitClip()});
    show.start();
    EXPECT_TRUE(WaitUntil([&] { return showsTheMiddleOfTheSplit(Screenshot(show.display())); }, 10s));
    EXPECT_EQ(SinkMuted(), true);
    const long peak = PeakKilobytes(show.pid());
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 600 * 1024) << "a panel the size of the screen needs far less";
    Xdotool(show.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
    EXPECT_EQ(SinkMuted(), false);
  }
  // A 2048 x 1536 panel cuts the picture exactly at the screen's middle.
  {
    ShowRun show;
    show.settings("Picdis=4\nWidth=2048\nHeight=1536\nSound=0", {SplitClip()});
    show.start();
    Screenshot screen(show.display());
    EXPECT_TRUE(WaitUntil([&] { return showsTheMiddleOfTheSplit(screen = Screenshot(show.display())); }, 10s));
    EXPECT_EQ(Classify(screen.at(500, 384)), Seen::Red);
    EXPECT_EQ(Classify(screen.at(524, 384)), Seen::Blue);
    Xdotool(show.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
  }
  // The same inside a host's window.
  SetSinkMute(false);
  TempDir home;
  WriteSettings(home.path(), options, {SplitClip()});
  ChildProcess hosted({QUORREL_EXECUTABLE, "--root"}, {{"HOME", home.path()},
                                                       {"XDG_CONFIG_HOME", home.path()},
                                                       {"DISPLAY", ShowRun::DefaultDisplay()}});
  EXPECT_TRUE(WaitUntil([&] { return showsTheMiddleOfTheSplit(Screenshot(ShowRun::DefaultDisplay())); }, 15s));
  EXPECT_LT(PeakKilobytes(hosted.pid()), 600 * 1024);
  hosted.signal(SIGTERM);
  EXPECT_EQ(hosted.waitFor(10s), 128 + SIGTERM);
  EXPECT_EQ(SinkMuted(), false);
}

// A blue picture with a red square in its middle, half as wide as the
// picture's shorter side: where the blue is tells the panel, and the
// square's shape how the picture was stretched.
std::string SquareClip(int width, int height) {
  return MakeClip({.pattern = "square:blue:red", .width = width, .height = height, .seconds = 20.0,
                   .container = Container::Mp4});
}

// A clip larger than the 1280 x 720 screen, short, so that the square clip
// after it follows within a poll or two.
std::string LargeClip(int width, int height) {
  return MakeClip({.pattern = "lime", .width = width, .height = height, .seconds = 1.0, .container = Container::Mp4});
}

struct Picture {
  Box panel;
  Box square;
};

std::ostream& operator<<(std::ostream& out, const Picture& picture) {
  return out << "panel " << picture.panel << ", square " << picture.square;
}

// Each edge within `tolerance` pixels of the other's.
bool near(const Box& a, const Box& b, int tolerance) {
  const auto close = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
  return close(a.left, b.left) && close(a.top, b.top) && close(a.left + a.width, b.left + b.width) &&
         close(a.top + a.height, b.top + b.height);
}

// The panel to the pixel; the square within `tolerance`. A stretched
// picture's colour runs over about one video pixel at the square's edges
// (the clips keep their colour at half the resolution), so the square's
// edges are known only to within the stretch.
bool near(const Picture& a, const Picture& b, int tolerance = 2) {
  return near(a.panel, b.panel, 1) && near(a.square, b.square, tolerance);
}

// The square clip's picture once it shows and has stayed for a moment (the
// panel may move just after its first frame).
Picture squarePicture(const std::string& display) {
  WaitUntil([&] { return Screenshot(display).boundsOf(Seen::Blue).width > 0; }, 15s);
  SleepFor(500ms);
  const Screenshot screen(display);
  return {screen.boundsOf(Seen::Blue), screen.boundsOf(Seen::Red)};
}

TEST(AfterAHugeVideo, theNextVideoGetsThePanelAndPictureItWouldGetFirst) {
  // A 1280 x 720 screen; phone videos stand upright on it, and a 4K video
  // is three times its size.
  OwnXvfb screen(1280, 720);
  struct Case {
    const char* what;
    std::string options;
    std::vector<std::string> videos;
    Picture expected;
    int tolerance = 2;
  };
  const std::vector<Case> cases = {
      {"4K, then 640 x 480 at its own size", "Picdis=5", {LargeClip(3840, 2160), SquareClip(640, 480)},
       {{320, 120, 640, 480}, {520, 240, 240, 240}}},
      {"upright phone video, then 640 x 360 at its own size", "Picdis=5",
       {LargeClip(720, 1280), SquareClip(640, 360)}, {{320, 180, 640, 360}, {550, 270, 180, 180}}},
      {"upright phone video, then 320 x 240 at its own size", "Picdis=5",
       {LargeClip(720, 1280), SquareClip(320, 240)}, {{480, 240, 320, 240}, {580, 300, 120, 120}}},
      // Stretched to the screen: the square 2 times as wide, 1.5 times as high.
      {"4K, then 640 x 480 at full screen", "Picdis=1", {LargeClip(3840, 2160), SquareClip(640, 480)},
       {{0, 0, 1280, 720}, {400, 180, 480, 360}},
       3},
      // A custom panel beyond the screen, 1920 x 1080 centred: the square
      // 3 times as wide and 2.25 times as high, at the panel's middle.
      {"4K, then 640 x 480 in a custom size beyond the screen", "Picdis=4\nWidth=1920\nHeight=1080",
       {LargeClip(3840, 2160), SquareClip(640, 480)},
       {{0, 0, 1280, 720}, {280, 90, 720, 540}},
       5},
      {"4K, then 640 x 480 in a custom size", "Picdis=4\nWidth=400\nHeight=300",
       {LargeClip(3840, 2160), SquareClip(640, 480)}, {{440, 210, 400, 300}, {565, 285, 150, 150}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ShowRun show(screen.display());
    show.settings(c.options + "\nPicord=2\nSound=0", c.videos);
    show.start();
    const Picture seen = squarePicture(screen.display());
    EXPECT_TRUE(near(seen, c.expected, c.tolerance)) << seen << " instead of " << c.expected;
    Xdotool(screen.display(), {"key", "space"});
    EXPECT_EQ(show.waitForExit(10s), 0);
  }

  // A host's module draws the same into the host's window.
  TempDir home;
  WriteSettings(home.path(), "Picdis=5\nPicord=2\nSound=0", {LargeClip(720, 1280), SquareClip(640, 360)});
  ChildProcess hosted({QUORREL_EXECUTABLE, "--root"},
                      {{"HOME", home.path()}, {"XDG_CONFIG_HOME", home.path()}, {"DISPLAY", screen.display()}});
  const Picture seen = squarePicture(screen.display());
  EXPECT_TRUE(near(seen, Picture{{320, 180, 640, 360}, {550, 270, 180, 180}})) << seen;
  hosted.signal(SIGTERM);
  EXPECT_EQ(hosted.waitFor(10s), 128 + SIGTERM);
}

}  // namespace
}  // namespace quorrel::test
