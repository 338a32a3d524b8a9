#include "linux/entry/standard_streams.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace quorrel::linux_desktop {

namespace {

extern "C" void ignoreBrokenPipe(int /*signal*/) {}

}  // namespace

void GuardStandardDescriptors() {
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free number, which is this one: the ones
    // below it are open by now.
    const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened != descriptor && opened >= 0) ::close(opened);
  }
  // A handler that does nothing rather than SIG_IGN: an ignored SIGPIPE
  // would be handed on to the programs the options dialog opens files
  // with, while a caught one goes back to the default at exec.
  struct sigaction action {};
  action.sa_handler = ignoreBrokenPipe;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace quorrel::linux_desktop
