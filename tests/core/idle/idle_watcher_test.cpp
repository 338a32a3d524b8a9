// The idle watcher's rules against a fake session: which source it takes,
// when it starts the show and when it holds back, the end of its show when
// the session locks, and how it follows the settings file.

#include "idle/idle_watcher.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "idle/idle_choice.h"
#include "idle/inhibitions.h"
#include "settings/settings_file.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using namespace std::chrono_literals;

class FakeProbe : public IdleSourceProbe {
 public:
  explicit FakeProbe(std::set<IdleSourceKind> answering) : answering_(std::move(answering)) {}
  bool answers(IdleSourceKind kind) override {
    asked.push_back(kind);
    return answering_.contains(kind);
  }
  std::vector<IdleSourceKind> asked;

 private:
  std::set<IdleSourceKind> answering_;
};

TEST(IdleSourceChoice, theFirstSourceThatAnswersWinsAndNoneAfterItIsAsked) {
  using enum IdleSourceKind;
  FakeProbe gnome({MutterIdleMonitor, XScreenSaver});
  EXPECT_EQ(ChooseIdleSource(gnome), MutterIdleMonitor);
  // GNOME's XWayland is started on demand: it is not asked for.
  EXPECT_EQ(gnome.asked, std::vector<IdleSourceKind>{MutterIdleMonitor});

  FakeProbe kwin({ExtIdleNotifier, KdeIdle});
  EXPECT_EQ(ChooseIdleSource(kwin), ExtIdleNotifier);
  FakeProbe sway({KdeIdle});
  EXPECT_EQ(ChooseIdleSource(sway), KdeIdle);
  FakeProbe plainX11({XScreenSaver});
  EXPECT_EQ(ChooseIdleSource(plainX11), XScreenSaver);
  EXPECT_EQ(plainX11.asked, (std::vector<IdleSourceKind>{MutterIdleMonitor, ExtIdleNotifier, KdeIdle, XScreenSaver}));
  FakeProbe nothing({});
  EXPECT_FALSE(ChooseIdleSource(nothing).has_value());

  // Only plain X11 has nobody else to answer a browser's inhibition.
  EXPECT_TRUE(AnswersInhibitRequests(XScreenSaver));
  EXPECT_FALSE(AnswersInhibitRequests(MutterIdleMonitor));
  EXPECT_FALSE(AnswersInhibitRequests(KdeIdle));
}

class FakeSource : public IdleSource {
 public:
  void setWait(std::chrono::milliseconds wait) override { waits.push_back(wait); }
  std::vector<std::chrono::milliseconds> waits;
};

class FakeDesktop : public IdleDesktop {
 public:
  bool showRunning() override { return otherShow; }
  bool locked() override { return isLocked; }
  bool inhibited() override { return isInhibited; }
  bool startShow() override {
    ++starts;
    return startWorks;
  }
  void endShow() override { ++ends; }

  bool otherShow = false;
  bool isLocked = false;
  bool isInhibited = false;
  bool startWorks = true;
  int starts = 0;
  int ends = 0;
};

TEST(IdleWatcherRules, startsOneShowPerIdlePeriodAndNoneWhileAnythingHoldsItBack) {
  FakeDesktop desktop;
  FakeSource source;
  IdleWatcher watcher(desktop, source, {true, 300s}, std::nullopt);
  EXPECT_EQ(source.waits, std::vector<std::chrono::milliseconds>{300s});

  watcher.sessionIdle();
  EXPECT_EQ(desktop.starts, 1);
  EXPECT_TRUE(watcher.ownShowRunning());
  // Its own show still runs: a second report starts nothing.
  watcher.sessionIdle();
  EXPECT_EQ(desktop.starts, 1);
  watcher.showExited();
  EXPECT_FALSE(watcher.ownShowRunning());

  for (bool FakeDesktop::*holdBack : {&FakeDesktop::otherShow, &FakeDesktop::isLocked, &FakeDesktop::isInhibited}) {
    desktop.*holdBack = true;
    watcher.sessionIdle();
    desktop.*holdBack = false;
  }
  EXPECT_EQ(desktop.starts, 1) << "a show by hand, a lock or an inhibition must hold the show back";

  // A show that could not be started is not waited for.
  desktop.startWorks = false;
  watcher.sessionIdle();
  EXPECT_EQ(desktop.starts, 2);
  EXPECT_FALSE(watcher.ownShowRunning());
}

TEST(IdleWatcherRules, aLockEndsOnlyTheShowTheWatcherStarted) {
  FakeDesktop desktop;
  FakeSource source;
  IdleWatcher watcher(desktop, source, {true, 60s}, std::nullopt);
  watcher.lockChanged(true);
  EXPECT_EQ(desktop.ends, 0) << "nothing of the watcher's runs";
  watcher.sessionIdle();
  watcher.lockChanged(false);
  EXPECT_EQ(desktop.ends, 0);
  watcher.lockChanged(true);
  EXPECT_EQ(desktop.ends, 1);
  watcher.showExited();
  watcher.lockChanged(true);
  EXPECT_EQ(desktop.ends, 1);
}

TEST(IdleWatcherRules, followsTheSettingsFileAndEndsWhenTheOptionIsTurnedOff) {
  FakeDesktop desktop;
  FakeSource source;
  IdleWatcher fromSettings(desktop, source, {true, 300s}, std::nullopt);
  EXPECT_EQ(fromSettings.settingsChanged({true, 300s}), IdleWatcher::Next::KeepWatching);
  EXPECT_EQ(fromSettings.settingsChanged({true, 600s}), IdleWatcher::Next::KeepWatching);
  EXPECT_EQ(source.waits, (std::vector<std::chrono::milliseconds>{300s, 600s})) << "only a new wait is asked for";
  EXPECT_EQ(fromSettings.settingsChanged({false, 600s}), IdleWatcher::Next::Stop);

  // A wait of the command line stays, and the option off at the start
  // does not end the watcher; its turning off later does.
  FakeSource givenSource;
  IdleWatcher given(desktop, givenSource, {false, 300s}, 3s);
  EXPECT_EQ(given.wait(), 3s);
  EXPECT_EQ(given.settingsChanged({false, 300s}), IdleWatcher::Next::KeepWatching);
  EXPECT_EQ(given.settingsChanged({true, 900s}), IdleWatcher::Next::KeepWatching);
  EXPECT_EQ(givenSource.waits, std::vector<std::chrono::milliseconds>{3s});
  EXPECT_EQ(given.settingsChanged({false, 900s}), IdleWatcher::Next::Stop);
}

TEST(IdleChoiceReading, keysReadAsTheDialogWritesThemAndAnythingElseFallsBack) {
  test::TempDir dir;
  const std::string path = dir.file("quorrel4.ini");
  auto choiceOf = [&](const std::string& options) {
    test::WriteFile(path, "[Options]\n" + options);
    return ReadIdleChoice(SettingsFile(path));
  };
  EXPECT_EQ(choiceOf("Idlestart=1\nIdleminutes=12\n"), (IdleChoice{true, 12min}));
  EXPECT_EQ(choiceOf("Idlestart=1\nIdleminutes=120\n"), (IdleChoice{true, 120min}));
  EXPECT_EQ(choiceOf("Idlestart=1\nIdleminutes=1\n"), (IdleChoice{true, 1min}));
  EXPECT_EQ(choiceOf("Idlestart=yes\nIdleminutes=0\n"), (IdleChoice{false, 5min}));
  EXPECT_EQ(choiceOf("Idlestart=0\nIdleminutes=121\n"), (IdleChoice{false, 5min}));
  EXPECT_EQ(choiceOf("Idleminutes=-3\n"), (IdleChoice{false, 5min}));
  EXPECT_EQ(ReadIdleChoice(SettingsFile(dir.file("missing.ini"))), (IdleChoice{false, 5min}));

  EXPECT_EQ(ParseWaitSeconds("3"), 3s);
  EXPECT_EQ(ParseWaitSeconds("86400"), 86400s);
  for (const char* bad : {"0", "86401", "-1", "3s", "", " 3", "99999999999999999999"}) {
    EXPECT_FALSE(ParseWaitSeconds(bad).has_value()) << bad;
  }
}

TEST(OwnInhibitions, eachBelongsToItsCallerAndEndsWhenTheCallerLeaves) {
  Inhibitions inhibitions;
  const std::uint32_t browser = inhibitions.inhibit(":1.7", "firefox", "video-playing");
  const std::uint32_t player = inhibitions.inhibit(":1.9", "mpv", "playing");
  EXPECT_NE(browser, 0U);
  EXPECT_NE(browser, player);
  EXPECT_TRUE(inhibitions.any());
  EXPECT_FALSE(inhibitions.release(":1.9", browser)) << "another connection cannot end it";
  EXPECT_TRUE(inhibitions.release(":1.9", player));
  EXPECT_FALSE(inhibitions.release(":1.9", player));
  EXPECT_TRUE(inhibitions.any());
  (void)inhibitions.inhibit(":1.7", "firefox", "second tab");
  inhibitions.ownerLeft(":1.7");
  EXPECT_FALSE(inhibitions.holds(":1.7"));
  EXPECT_FALSE(inhibitions.any());
}

}  // namespace
}  // namespace quorrel
