#pragma once

// What the desktop tests of the idle watcher share: the output, the wait,
// a show that paints the output red, and how its lines and pictures are
// read.

#include <chrono>
#include <string>

#include "tests/linux/show/show_desktop.h"

namespace quorrel::test {

constexpr int kOutputWidth = 1280;
constexpr int kOutputHeight = 720;
// The watcher's wait, as `quorrel --idle 3` gives it.
constexpr int kIdleSeconds = 3;
// How long after the last input a show may take to be on screen: the wait,
// then a process, a window and a first frame on a loaded machine.
constexpr std::chrono::seconds kShowWithin{kIdleSeconds + 20};
// How long no show may start while an inhibitor is held: the wait, and
// time enough for a show to have appeared after it.
constexpr std::chrono::seconds kInhibitedFor{kIdleSeconds + 5};

// A settings file with one red clip played at full-screen size, no sound,
// so that the share of red on the output tells how much the show covers.
void WriteRedShowSettings(const std::string& configHome);
// The share of the picture's pixels that are red.
[[nodiscard]] double RedShare(const Screenshot& screen);

[[nodiscard]] int LineCount(const std::string& text);
// The lines the watcher itself writes, as against those of the shows it
// started, which share its standard error.
[[nodiscard]] int WatcherLineCount(const std::string& text);

}  // namespace quorrel::test
