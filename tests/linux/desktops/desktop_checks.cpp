#include "tests/linux/desktops/desktop_checks.h"

#include <algorithm>
#include <sstream>

#include "tests/support/test_media.h"

namespace quorrel::test {

void WriteRedShowSettings(const std::string& configHome) {
  ClipOptions clip;
  clip.pattern = "red";
  clip.width = kOutputWidth;
  clip.height = kOutputHeight;
  clip.seconds = 20;
  clip.frameRate = 10;
  clip.container = Container::Mp4;
  // "Picdis" 1: the video at the full size of the screen.
  WriteSettings(configHome, "Sound=0\nPicdis=1", {MakeClip(clip)});
}

double RedShare(const Screenshot& screen) {
  const Box all{0, 0, screen.width(), screen.height()};
  const double pixels = static_cast<double>(screen.width()) * screen.height();
  return pixels > 0 ? screen.count(Seen::Red, all) / pixels : 0.0;
}

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

int WatcherLineCount(const std::string& text) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("quorrel: idle watcher")) ++count;
  }
  return count;
}

}  // namespace quorrel::test
