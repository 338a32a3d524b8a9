// The real program while the display is powered down, for `/S` and for a
// hosted `--root` show: the video and the background sound pause where
// they are, the processor rests, and both go on from there when the
// display powers up. The test display has no DPMS: the program runs with
// the DPMS stand-in preloaded, and the test writes the level it answers.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/linux/show/show_desktop.h"
#include "tests/support/test_media.h"

namespace quorrel::test {
namespace {

using namespace std::chrono_literals;

// The power level the stand-in answers with, and the environment that
// preloads it into the program.
class StandInDpms {
 public:
  StandInDpms() { set("on"); }
  void set(const std::string& level) {
    // Replaced whole, so that the program never reads half a word.
    WriteFile(file_ + ".new", level + "\n");
    std::filesystem::rename(file_ + ".new", file_);
  }
  [[nodiscard]] std::map<std::string, std::string> environment() const {
    return {{"LD_PRELOAD", QUORREL_DPMS_STAND_IN}, {"DPMS_STAND_IN_FILE", file_}};
  }

 private:
  TempDir dir_;
  std::string file_ = dir_.file("dpms");
};

constexpr auto kMeasure = 5s;

// The processor time the process uses over the next five seconds.
double cpuOverMeasure(pid_t pid) {
  const double before = CpuSeconds(pid);
  SleepFor(kMeasure);
  return CpuSeconds(pid) - before;
}

// Red long enough to measure the playing show, then green for less time
// than the display stays dark, then blue to the end: what shows after the
// dark spell tells whether the video went on, started again, or played on
// behind the dark screen.
std::string PowerClip() { return ColourSequenceClip({{"red", 7.0}, {"lime", 3.0}, {"blue", 40.0}}); }

// The show's one sound stream, and whether it plays; fails the test when
// there is not exactly one.
std::pair<int, bool> soundStream(pid_t pid) {
  const std::map<int, bool> streams = SoundStreamsOf(pid);
  EXPECT_EQ(streams.size(), 1U);
  if (streams.empty()) return {-1, false};
  return *streams.begin();
}

struct Spell {
  double playing = 0;
  double dark = 0;
  double after = 0;
};

// Watches a show of the power clip full screen, with a long WAV as its
// background sound, through one dark spell that begins while green shows.
Spell darkSpell(pid_t pid, const std::string& display, StandInDpms& dpms) {
  const auto colour = [&] { return Classify(PixelAt(display, 512, 384)); };
  Spell spell;
  EXPECT_TRUE(WaitUntil([&] { return colour() == Seen::Red; }, 15s));
  spell.playing = cpuOverMeasure(pid);
  EXPECT_TRUE(WaitUntil([&] { return colour() == Seen::Green; }, 10s));
  const auto [stream, playing] = soundStream(pid);
  EXPECT_TRUE(playing);

  dpms.set("off");
  // The show reads the level once a second; the corked stream tells that
  // it has paused.
  EXPECT_TRUE(WaitUntil([&] { return SoundStreamsOf(pid) == std::map<int, bool>{{stream, false}}; }, 5s));
  spell.dark = cpuOverMeasure(pid);
  // Green lasts three seconds; five seconds later it still shows, so the
  // video did not play on behind the dark screen.
  EXPECT_EQ(colour(), Seen::Green);

  dpms.set("on");
  // On from where it paused: the rest of the green, then blue. A video
  // started again would show red first.
  std::vector<Seen> seen = WatchColours(display, 512, 384, 10s, [](const std::vector<Seen>& s) {
    return s.back() == Seen::Blue || s.back() == Seen::Red;
  });
  // A frame caught halfway through the cut is neither colour.
  std::erase(seen, Seen::Other);
  EXPECT_EQ(seen, (std::vector<Seen>{Seen::Green, Seen::Blue}));
  // The same sound stream plays again: resumed, not opened anew.
  EXPECT_TRUE(WaitUntil([&] { return SoundStreamsOf(pid) == std::map<int, bool>{{stream, true}}; }, 5s));
  spell.after = cpuOverMeasure(pid);
  return spell;
}

void expectRestInTheDark(const Spell& spell) {
  std::printf("processor seconds over %lld s: playing %.2f, dark %.2f, after %.2f\n",
              static_cast<long long>(kMeasure.count()), spell.playing, spell.dark, spell.after);
  // Playing here decodes and scales in software at a good part of a core;
  // paused, the show wakes only for its polls.
  EXPECT_LT(spell.dark, 0.2 * spell.playing) << "playing " << spell.playing << " s, dark " << spell.dark << " s";
  EXPECT_GT(spell.after, 0.4 * spell.playing) << "playing " << spell.playing << " s, after " << spell.after << " s";
}

constexpr const char* kOptions = "Picdis=1\nPicord=2\nSound=1\nRepeat=0";

TEST(DarkDisplay, theShowPausesInTheDarkGoesOnAfterAndAKeyStillEndsIt) {
  StandInDpms dpms;
  ShowRun show;
  show.settings(kOptions, {PowerClip()}, MakeWav(90.0));
  SetSinkMute(false);
  show.start(dpms.environment());

  const Spell spell = darkSpell(show.pid(), show.display(), dpms);
  expectRestInTheDark(spell);
  // The mute switch is not how the show goes quiet.
  EXPECT_EQ(SinkMuted(), false);

  dpms.set("suspend");
  EXPECT_TRUE(WaitUntil([&] { return !soundStream(show.pid()).second; }, 5s));
  Xdotool(show.display(), {"key", "space"});
  EXPECT_EQ(show.waitForExit(10s), 0);
}

TEST(DarkDisplay, aHostedShowPausesInTheDarkGoesOnAfterAndEndsByItsHostsSignal) {
  StandInDpms dpms;
  TempDir home;
  WriteSettings(home.path(), kOptions, {PowerClip()}, MakeWav(90.0));
  std::map<std::string, std::string> environment = {
      {"HOME", home.path()}, {"XDG_CONFIG_HOME", home.path()}, {"DISPLAY", ShowRun::DefaultDisplay()}};
  environment.insert(kDesktopLocale.begin(), kDesktopLocale.end());
  environment.merge(dpms.environment());
  ChildProcess show({QUORREL_EXECUTABLE, "--root"}, environment);

  const Spell spell = darkSpell(show.pid(), ShowRun::DefaultDisplay(), dpms);
  expectRestInTheDark(spell);

  dpms.set("standby");
  EXPECT_TRUE(WaitUntil([&] { return !soundStream(show.pid()).second; }, 5s));
  show.signal(SIGTERM);
  EXPECT_EQ(show.waitFor(10s), 128 + SIGTERM);
}

}  // namespace
}  // namespace quorrel::test
