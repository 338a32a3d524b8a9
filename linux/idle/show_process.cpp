#include "linux/idle/show_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "base/log.h"

extern char** environ;

namespace quorrel::linux_desktop {

namespace {

// The child starts with every signal as a new process expects it: none
// blocked, and SIGPIPE (which the watcher ignores) back to its default.
struct SpawnSettings {
  posix_spawnattr_t attributes{};
  posix_spawn_file_actions_t files{};

  SpawnSettings() {
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  }
  ~SpawnSettings() {
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
  }
};

// Debian 12's C library declares its process-descriptor functions without
// C linkage for C++, so they are reached through their system calls.
int openProcessDescriptor(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0U)); }

void sendSignal(int processDescriptor, int signal) {
  (void)::syscall(SYS_pidfd_send_signal, processDescriptor, signal, nullptr, 0U);
}

}  // namespace

bool ShowProcess::start() {
  SpawnSettings settings;
  std::string showSwitch = "/S";
  char* argv[] = {program_.data(), showSwitch.data(), nullptr};
  const int failed = posix_spawn(&pid_, program_.c_str(), &settings.files, &settings.attributes, argv, environ);
  if (failed != 0) {
    pid_ = 0;
    LogError("idle watcher: cannot start " + program_ + ": " + std::strerror(failed));
    return false;
  }
  pidFd_ = openProcessDescriptor(pid_);
  if (pidFd_ < 0) {
    // Without a descriptor (a kernel before 5.3) the watcher would never
    // learn of the end: it waits for it here instead.
    LogError(std::string("idle watcher: cannot follow the show: ") + std::strerror(errno));
    (void)::waitpid(pid_, nullptr, 0);
    pid_ = 0;
    return false;
  }
  return true;
}

ShowProcess::~ShowProcess() {
  if (pidFd_ >= 0) ::close(pidFd_);
}

void ShowProcess::terminate() {
  if (pidFd_ >= 0) sendSignal(pidFd_, SIGTERM);
}

short ShowProcess::pollEvents() const { return POLLIN; }

void ShowProcess::afterWait(short revents) {
  if (pidFd_ < 0 || (revents & POLLIN) == 0) return;
  (void)::waitpid(pid_, nullptr, 0);
  ::close(pidFd_);
  pidFd_ = -1;
  pid_ = 0;
  exited_();
}

}  // namespace quorrel::linux_desktop
