#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

#include "linux/idle/poll_loop.h"

namespace quorrel::linux_desktop {

// The show the watcher starts: its own program with "/S", in the watcher's
// own environment (the display, the session bus, the locale), its input
// from /dev/null and its standard error where the watcher's goes. The
// watcher learns of its end through a process descriptor, without a signal
// handler.
class ShowProcess : public Pollable {
 public:
  ShowProcess(std::string program, std::function<void()> exited)
      : program_(std::move(program)), exited_(std::move(exited)) {}
  ~ShowProcess() override;
  ShowProcess(const ShowProcess&) = delete;
  ShowProcess& operator=(const ShowProcess&) = delete;

  // False, with a line on standard error, when it could not be started.
  [[nodiscard]] bool start();
  [[nodiscard]] bool running() const { return pid_ > 0; }
  // Asks the show to end as an idle tool would: SIGTERM, after which the
  // show applies its end-of-show steps.
  void terminate();

  int pollFd() const override { return pidFd_; }
  short pollEvents() const override;
  void afterWait(short revents) override;

 private:
  std::string program_;
  std::function<void()> exited_;
  pid_t pid_ = 0;
  int pidFd_ = -1;
};

}  // namespace quorrel::linux_desktop
