#include "tests/linux/hosts/process_tree.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <map>
#include <sstream>
#include <system_error>

#include "tests/support/process.h"

namespace quorrel::test {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct ProcessInfo {
  pid_t parent = 0;
  char state = '?';
};

std::map<pid_t, ProcessInfo> processes() {
  std::map<pid_t, ProcessInfo> result;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string stat = ReadFile("/proc/" + pid + "/stat");
    const auto open = stat.find('(');
    const auto close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close + 4 > stat.size()) continue;
    ProcessInfo info;
    std::istringstream rest(stat.substr(close + 2));
    rest >> info.state >> info.parent;
    result[std::stoi(pid)] = info;
  }
  return result;
}

// Every process below this one, from a snapshot of the process table.
std::vector<pid_t> descendants(const std::map<pid_t, ProcessInfo>& table) {
  std::multimap<pid_t, pid_t> children;
  for (const auto& [pid, info] : table) children.emplace(info.parent, pid);
  std::vector<pid_t> result;
  std::deque<pid_t> pending{getpid()};
  while (!pending.empty()) {
    const auto [first, last] = children.equal_range(pending.front());
    pending.pop_front();
    for (auto it = first; it != last; ++it) {
      result.push_back(it->second);
      pending.push_back(it->second);
    }
  }
  return result;
}

bool alive(const ProcessInfo& info) { return info.state != 'Z' && info.state != 'X'; }

}  // namespace

void EndDescendants(pid_t keep) {
  for (int round = 0; round < 100; ++round) {
    const auto table = processes();
    bool left = false;
    for (const pid_t pid : descendants(table)) {
      if (pid == keep) continue;
      left = true;
      if (alive(table.at(pid))) kill(pid, SIGKILL);
      if (table.at(pid).parent == getpid()) waitpid(pid, nullptr, WNOHANG);
    }
    if (!left) return;
    SleepFor(50ms);
  }
}

void AdoptOrphans() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

std::vector<pid_t> LiveSavers(const std::string& program) {
  const auto table = processes();
  std::vector<pid_t> result;
  for (const pid_t pid : descendants(table)) {
    if (!alive(table.at(pid))) continue;
    std::error_code gone;
    if (fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", gone) == program) result.push_back(pid);
  }
  return result;
}

}  // namespace quorrel::test
