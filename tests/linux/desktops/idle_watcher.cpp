#include "tests/linux/desktops/idle_watcher.h"

#include <csignal>
#include <filesystem>

namespace quorrel::test {

IdleWatcher::IdleWatcher(NamespacedDesktop& desktop, int seconds)
    : desktop_(desktop), errorLog_(desktop.file("watcher.stderr")) {
  WriteFile(errorLog_, "");
  process_ = desktop_.startInside({QUORREL_EXECUTABLE, "--idle", std::to_string(seconds)}, {}, errorLog_);
}

std::string IdleWatcher::standardError() const { return ReadFile(errorLog_); }

std::string IdleWatcher::state() {
  const std::optional<int> status = process_->waitFor(std::chrono::milliseconds(0));
  const std::string how = status ? "ended with status " + std::to_string(*status) : "runs";
  return how + ", having written:\n" + standardError();
}

std::string IdleWatcher::waitForStartLine(std::chrono::milliseconds timeout) {
  std::string text;
  (void)WaitUntil([&] { return (text = standardError()).find('\n') != std::string::npos || !running(); }, timeout);
  return text.substr(0, text.find('\n'));
}

std::optional<pid_t> IdleWatcher::waitForShow(std::chrono::milliseconds timeout) {
  std::optional<pid_t> show;
  const bool shown = WaitUntil(
      [&] {
        const std::vector<pid_t> shows = RunningShows(QUORREL_EXECUTABLE);
        if (shows.empty()) return false;
        show = shows.front();
        return showWindowVisible() && showWindowFocused();
      },
      timeout);
  return shown ? show : std::nullopt;
}

bool IdleWatcher::showRuns() const { return !RunningShows(QUORREL_EXECUTABLE).empty(); }

bool IdleWatcher::waitUntilShowEnded(std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return !showRuns() && !showWindowVisible(); }, timeout);
}

void IdleWatcher::killShows() {
  for (const pid_t show : RunningShows(QUORREL_EXECUTABLE)) ::kill(show, SIGKILL);
  (void)WaitUntil([&] { return !showRuns(); }, std::chrono::seconds(10));
}

bool IdleWatcher::showWindowVisible() {
  const ProcessResult found = desktop_.runInside({"xdotool", "search", "--onlyvisible", "--class", "^TForm1$"});
  return found.exitStatus == 0 && found.output.find_first_of("0123456789") != std::string::npos;
}

bool IdleWatcher::showWindowFocused() {
  const ProcessResult focused = desktop_.runInside({"xdotool", "getwindowfocus", "getwindowname"});
  return focused.exitStatus == 0 && focused.output == "FrmQuorrel33\n";
}

}  // namespace quorrel::test
