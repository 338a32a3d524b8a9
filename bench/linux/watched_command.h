#pragma once

// What the screen-watching probes of the Linux benchmarks share: starting
// the command under watch, ending it, and reading its clock and processor
// time.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace quorrel::bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Starts `command` (a null-terminated argument list; the program is looked
// up in PATH) and returns its process id.
inline pid_t launch(char** command) {
  const pid_t child = fork();
  if (child == 0) {
    execvp(command[0], command);
    _exit(127);
  }
  return child;
}

// Ends the command as a session manager would, and reaps it.
inline void finish(pid_t child) {
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
}

// Processor seconds (user and system, all threads) the process has used.
inline double cpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command name, which may itself hold blanks.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n == 14 || n == 15) ticks += std::stod(field);
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace quorrel::bench
