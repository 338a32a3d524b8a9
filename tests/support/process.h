#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorrel::test {

struct ProcessResult {
  int exitStatus = -1;  // exit code, or -1 when killed by a signal or timed out
  bool timedOut = false;
  std::string output;  // standard output and standard error together
};

// Runs a program (no shell; argv[0] is looked up in PATH) and waits for it,
// killing it after `timeout`.
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));

// A program running in the background, for tests that drive it while it
// runs. The destructor kills it (SIGKILL) if it is still running. On
// Windows (tests cross-built for Wine), `environment` must be empty and
// signal() ends the process whatever the number.
class ChildProcess {
 public:
  // `environment` entries are added to (or replace) the test's environment.
  ChildProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  [[nodiscard]] pid_t pid() const { return pid_; }
  // The exit code once the process has ended within `timeout`; nullopt
  // while it still runs. A process killed by a signal gives 128 + signal.
  std::optional<int> waitFor(std::chrono::milliseconds timeout);
  [[nodiscard]] bool running();
  void signal(int signalNumber);

 private:
  pid_t pid_ = -1;
#ifdef _WIN32
  void* handle_ = nullptr;  // the process's handle
#endif
  std::optional<int> status_;
};

void SleepFor(std::chrono::milliseconds duration);

// The locale the end-to-end tests give the program, as a German desktop
// would: numbers there are written with a decimal comma.
inline const std::map<std::string, std::string> kDesktopLocale = {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}};

// Polls `condition` every 50 ms until it holds or `timeout` passes.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    SleepFor(std::chrono::milliseconds(50));
  }
}

// A fresh folder under the system's temporary folder, removed with its
// contents by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] std::string file(const std::string& name) const {
#ifdef _WIN32
    return path_ + "\\" + name;
#else
    return path_ + "/" + name;
#endif
  }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);

}  // namespace quorrel::test
