// The show on a desk with more than one monitor, against fake monitors,
// windows and players: the other monitors covered black, and with "Play
// videos on every monitor" each playing a cycle of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media/media_player.h"
#include "settings/data_folder.h"
#include "show/random_pick.h"
#include "show/show_controller.h"
#include "tests/core/show/show_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::EventLog;

// A window over one other monitor; its player plays on a back end named
// after the monitor, so that the log tells the monitors apart.
class FakeScreen : public MonitorScreen {
 public:
  FakeScreen(const Monitor& monitor, const std::map<std::string, test::FakeFile>& files, EventLog& log)
      : place(monitor.place), backend(monitor.name, log) {
    backend.files = files;
  }
  void cover(const Rect& monitor) override { place = monitor; }
  void placePanel(const Rect& geometry) override { panel = geometry; }
  MediaPlayer& videoPlayer() override {
    if (!player) player = std::make_unique<MediaPlayer>(backend, 99, true);
    return *player;
  }
  Rect place;
  Rect panel;
  test::FakeBackend backend;
  std::unique_ptr<MediaPlayer> player;
};

class FakeScreens : public MonitorScreens {
 public:
  FakeScreens(const std::map<std::string, test::FakeFile>& files, EventLog& log) : files_(files), log_(log) {}
  MonitorScreen& openScreen(const Monitor& monitor) override {
    log_.push_back("open screen " + monitor.name);
    screens[monitor.name] = std::make_unique<FakeScreen>(monitor, files_, log_);
    return *screens[monitor.name];
  }
  void closeScreen(MonitorScreen& screen) override {
    for (auto it = screens.begin(); it != screens.end(); ++it) {
      if (it->second.get() == &screen) {
        log_.push_back("close screen " + it->first);
        closed.push_back(std::move(it->second));
        screens.erase(it);
        return;
      }
    }
    ADD_FAILURE() << "closed a screen that is not open";
  }
  FakeScreen& operator[](const std::string& name) { return *screens.at(name); }
  std::map<std::string, std::unique_ptr<FakeScreen>> screens;
  // Kept, so that a test can look at what a closed screen's player did.
  std::vector<std::unique_ptr<FakeScreen>> closed;

 private:
  const std::map<std::string, test::FakeFile>& files_;
  EventLog& log_;
};

// The primary in the middle of three: 1920 x 1080 at (1280, 0), a 1280 x
// 1024 monitor on its left and a 1024 x 768 one on its right.
const Monitor kPrimary{"middle", {1280, 0, 1920, 1080}, true};
const Monitor kLeft{"left", {0, 0, 1280, 1024}, false};
const Monitor kRight{"right", {3200, 0, 1024, 768}, false};

struct DeskRig : test::ShowFakes {
  void settings(const std::string& options, const std::vector<std::string>& videos) {
    std::filesystem::create_directories(home.file("Quorrel"));
    std::string text = "[Options]\nSound=0\nRepeat=0\n" + options + "\n[vidConfig]\n";
    for (std::size_t n = 1; n <= 1000; ++n) {
      text += "Name" + std::to_string(n) + "=" + (n <= videos.size() ? videos[n - 1] : "Null") + "\n";
    }
    test::WriteFile(home.file("Quorrel/quorrel4.ini"), text + "[WavConfig]\nName1=Null\n");
  }
  std::string clip(const std::string& name, std::int32_t width = 320, std::int32_t height = 240) {
    const std::string path = home.file(name);
    test::WriteFile(path, "clip");
    files[path] = {true, width, height};
    videoBackend.files[path] = files[path];
    return path;
  }
  // The file each monitor opened, in order, the primary's as "primary".
  std::vector<std::string> opened(const std::string& monitor) {
    if (monitor == "primary") return videoBackend.openedNames();
    const auto open = screens.screens.find(monitor);
    return open != screens.screens.end() ? open->second->backend.openedNames() : std::vector<std::string>{};
  }
  void allEnd() {
    videoBackend.current()->mode = PlayerMode::Stopped;
    for (auto& [name, screen] : screens.screens) {
      if (screen->backend.current() != nullptr) screen->backend.current()->mode = PlayerMode::Stopped;
    }
  }

  std::map<std::string, test::FakeFile> files;
  FakeScreens screens{files, log};
  ShowController show{[this] {
    view.width = kPrimary.place.width;
    view.height = kPrimary.place.height;
    ShowServices withMonitors = services();
    withMonitors.otherMonitors = &screens;
    return withMonitors;
  }()};
};

TEST(MonitorOrder, primaryFirstThenLeftToRightThenTopToBottom) {
  const Monitor below{"below", {0, 1024, 800, 600}, false};
  const std::vector<Monitor> ordered = InShowOrder({kRight, below, kPrimary, kLeft});
  std::vector<std::string> names;
  for (const Monitor& monitor : ordered) names.push_back(monitor.name);
  EXPECT_EQ(names, (std::vector<std::string>{"middle", "left", "below", "right"}));
  // Without a primary, the first given stands first.
  EXPECT_EQ(InShowOrder({kRight, kLeft}).front().name, "right");
  EXPECT_TRUE(InShowOrder({}).empty());
}

TEST(OtherMonitors, withTheOptionOffEveryOtherMonitorIsOnlyCoveredBlack) {
  for (const std::string option : {"", "Allscreens=0", "Allscreens=yes"}) {
    SCOPED_TRACE(option);
    DeskRig rig;
    rig.settings("Picdis=1\n" + option, {rig.clip("a.avi"), rig.clip("b.avi")});
    // The front end puts its windows on screen before the start-up.
    rig.show.monitorsChanged({kRight, kPrimary, kLeft});
    rig.show.start();
    ASSERT_EQ(rig.screens.screens.size(), 2u);
    EXPECT_EQ(rig.screens["left"].place, kLeft.place);
    EXPECT_EQ(rig.screens["right"].place, kRight.place);
    EXPECT_FALSE(rig.screens["left"].player);
    EXPECT_FALSE(rig.screens["right"].player);
    EXPECT_EQ(rig.view.panel, (Rect{0, 0, 1920, 1080}));
    rig.allEnd();
    rig.show.poll();
    EXPECT_EQ(rig.opened("primary"), (std::vector<std::string>{rig.home.file("a.avi"), rig.home.file("b.avi")}));
  }
}

TEST(OtherMonitors, inSequenceMonitorKStartsAtOnePlusKAndEachPanelFitsItsMonitor) {
  DeskRig rig;
  const std::string a = rig.clip("a.avi");
  const std::string b = rig.clip("b.avi");
  const std::string c = rig.clip("c.avi");
  rig.settings("Picdis=2\nAllscreens=1", {a, b, c});
  rig.show.monitorsChanged({kRight, kPrimary, kLeft});
  rig.show.start();
  // Monitor 1 is the left one, monitor 2 the right one.
  EXPECT_EQ(rig.opened("primary"), (std::vector<std::string>{a}));
  EXPECT_EQ(rig.opened("left"), (std::vector<std::string>{b}));
  EXPECT_EQ(rig.opened("right"), (std::vector<std::string>{c}));
  // Half of each monitor, centred on it, in its own pixels.
  EXPECT_EQ(rig.view.panel, (Rect{480, 270, 960, 540}));
  EXPECT_EQ(rig.screens["left"].panel, (Rect{320, 256, 640, 512}));
  EXPECT_EQ(rig.screens["right"].panel, (Rect{256, 192, 512, 384}));
  EXPECT_EQ(rig.screens["right"].backend.current()->destination, (Rect{0, 0, 512, 384}));
  EXPECT_EQ(rig.screens["right"].backend.current()->mode, PlayerMode::Playing);
  EXPECT_TRUE(rig.view.timerEnabled);

  // Each goes on in sequence from where it started, wrapping; a monitor
  // whose video still plays is left alone.
  rig.allEnd();
  rig.show.poll();
  rig.screens["left"].backend.current()->mode = PlayerMode::Stopped;
  rig.show.poll();
  EXPECT_EQ(rig.opened("primary"), (std::vector<std::string>{a, b}));
  EXPECT_EQ(rig.opened("left"), (std::vector<std::string>{b, c, a}));
  EXPECT_EQ(rig.opened("right"), (std::vector<std::string>{c, a}));
  // Only the primary's player is the show's: sound and mute stay its own.
  EXPECT_TRUE(rig.soundBackend.opened.empty());

  // With fewer videos than monitors, the count wraps.
  DeskRig two;
  const std::string x = two.clip("x.avi");
  const std::string y = two.clip("y.avi");
  two.settings("Picdis=1\nAllscreens=1", {x, y});
  two.show.monitorsChanged({kPrimary, kLeft, kRight});
  two.show.start();
  EXPECT_EQ(two.opened("left"), (std::vector<std::string>{y}));
  EXPECT_EQ(two.opened("right"), (std::vector<std::string>{x}));
  EXPECT_EQ(two.screens["left"].panel, (Rect{0, 0, 1280, 1024}));
}

TEST(OtherMonitors, atRandomMonitorKAddsKToTheClockValueItSeedsFrom) {
  DeskRig rig;
  std::vector<std::string> videos;
  for (int n = 0; n < 50; ++n) videos.push_back(rig.clip("v" + std::to_string(n) + ".avi"));
  rig.settings("Picdis=5\nPicord=1\nAllscreens=1", videos);
  rig.clock.milliseconds = 4000000000U;
  rig.show.monitorsChanged({kPrimary, kLeft, kRight});
  rig.show.start();
  auto expected = [&rig, &videos](std::uint32_t offset) {
    ShowRandom random(rig.clock.milliseconds + offset);
    return videos[random.draw(50)];
  };
  EXPECT_EQ(rig.opened("primary"), (std::vector<std::string>{expected(0)}));
  EXPECT_EQ(rig.opened("left"), (std::vector<std::string>{expected(1)}));
  EXPECT_EQ(rig.opened("right"), (std::vector<std::string>{expected(2)}));
  EXPECT_NE(expected(0), expected(1));
  // At its own size, each panel is the video's, centred on its monitor.
  EXPECT_EQ(rig.screens["right"].panel, (Rect{352, 264, 320, 240}));
  EXPECT_EQ(rig.view.panel, (Rect{800, 420, 320, 240}));
  // The sum wraps as the generator's state does, and the next pick seeds
  // afresh.
  rig.clock.milliseconds = 0xFFFFFFFFU;
  rig.allEnd();
  rig.show.poll();
  EXPECT_EQ(rig.opened("right").back(), expected(2));
  EXPECT_EQ(rig.opened("left").back(), expected(1));
}

TEST(OtherMonitors, aVideoThatCannotStartOnAnyMonitorStopsTheCycleEverywhereWithOneBox) {
  DeskRig rig;
  const std::string a = rig.clip("a.avi");
  const std::string corrupt = rig.home.file("corrupt.avi");
  test::WriteFile(corrupt, "garbage");
  rig.settings("Picdis=1\nAllscreens=1", {a, a, corrupt});
  rig.show.monitorsChanged({kPrimary, kLeft, kRight});
  testing::internal::CaptureStderr();
  rig.show.start();
  // The right monitor's first video (the third) fails quietly, as the
  // primary's would.
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot play " + corrupt), std::string::npos);
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_TRUE(rig.opened("right").empty());
  // On the next tick it goes on with the list, while the others play.
  rig.show.poll();
  EXPECT_EQ(rig.opened("right"), (std::vector<std::string>{a}));
  EXPECT_TRUE(rig.boxes.shown.empty());

  // The left monitor reaches the corrupt file on a tick: one box, and no
  // monitor plays on.
  rig.screens["left"].backend.current()->mode = PlayerMode::Stopped;
  rig.show.poll();
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_NE(rig.boxes.shown[0].second.find(corrupt), std::string::npos);
  EXPECT_FALSE(rig.view.timerEnabled);
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Stopped);
  EXPECT_EQ(rig.screens["right"].backend.current()->mode, PlayerMode::Stopped);
  rig.show.poll();
  EXPECT_EQ(rig.opened("right").size(), 1u);
  // A monitor plugged in afterwards stays black.
  rig.show.monitorsChanged({kPrimary, kLeft, kRight, Monitor{"late", {4224, 0, 800, 600}, false}});
  EXPECT_FALSE(rig.screens["late"].player);
  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
}

TEST(OtherMonitors, theMessageScreenIsThePrimarysAndTheOthersStayBlack) {
  DeskRig rig;
  rig.settings("Picdis=1\nAllscreens=1", {rig.clip("a.avi"), rig.home.file("gone.avi")});
  rig.show.monitorsChanged({kPrimary, kLeft});
  rig.show.start();
  EXPECT_TRUE(rig.view.infoVisible);
  EXPECT_EQ(rig.view.info, MissingFileText(rig.home.file("gone.avi")));
  EXPECT_FALSE(rig.screens["left"].player);
  EXPECT_EQ(rig.screens["left"].place, kLeft.place);
}

TEST(OtherMonitors, monitorsThatComeGoAndChangeWhileTheShowRunsAndTheDarkDisplay) {
  DeskRig rig;
  const std::string a = rig.clip("a.avi");
  const std::string b = rig.clip("b.avi");
  const std::string c = rig.clip("c.avi");
  rig.settings("Picdis=3\nAllscreens=1", {a, b, c});
  rig.show.monitorsChanged({kPrimary});
  rig.show.start();
  EXPECT_TRUE(rig.screens.screens.empty());

  // Plugged in: its cycle starts at once, as monitor 1.
  rig.show.monitorsChanged({kPrimary, kRight});
  EXPECT_EQ(rig.opened("right"), (std::vector<std::string>{b}));
  EXPECT_EQ(rig.screens["right"].panel, (Rect{384, 288, 256, 192}));

  // Set to another resolution: the window and the panel follow, the video
  // plays on.
  const Monitor bigger{"right", {3200, 0, 1280, 1024}, false};
  rig.show.monitorsChanged({kPrimary, bigger});
  EXPECT_EQ(rig.screens["right"].place, bigger.place);
  EXPECT_EQ(rig.screens["right"].panel, (Rect{480, 384, 320, 256}));
  EXPECT_EQ(rig.screens["right"].backend.current()->destination, (Rect{0, 0, 320, 256}));
  EXPECT_EQ(rig.opened("right").size(), 1u);

  // The display powers down: every player pauses; up: all go on together.
  rig.show.displayPowerChanged(true);
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Paused);
  EXPECT_EQ(rig.screens["right"].backend.current()->mode, PlayerMode::Paused);
  // One plugged in while it is dark starts paused.
  rig.show.monitorsChanged({kPrimary, bigger, kLeft});
  EXPECT_EQ(rig.opened("left"), (std::vector<std::string>{b}));
  EXPECT_EQ(rig.screens["left"].backend.current()->mode, PlayerMode::Paused);
  rig.show.poll();
  EXPECT_EQ(rig.opened("right").size(), 1u);
  rig.show.displayPowerChanged(false);
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Playing);
  EXPECT_EQ(rig.screens["right"].backend.current()->mode, PlayerMode::Playing);
  EXPECT_EQ(rig.screens["left"].backend.current()->mode, PlayerMode::Playing);

  // Unplugged: its window goes with its player; the others play on.
  rig.show.monitorsChanged({kPrimary, kLeft});
  EXPECT_EQ(rig.screens.screens.count("right"), 0u);
  ASSERT_EQ(rig.screens.closed.size(), 1u);
  rig.allEnd();
  rig.show.poll();
  EXPECT_EQ(rig.opened("left"), (std::vector<std::string>{b, c}));

  // Input ends the show: no monitor changes anything after it.
  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
  rig.show.monitorsChanged({kPrimary, kLeft, kRight});
  EXPECT_EQ(rig.screens.screens.count("right"), 0u);
}

}  // namespace
}  // namespace quorrel
