#include "linux/show/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <iterator>

#include "base/log.h"

namespace quorrel::linux_desktop {

namespace {

int pipeEnds[2] = {-1, -1};
std::atomic<int> firstSignal{0};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction previous[std::size(kSignals)]{};

extern "C" void onTerminationSignal(int signal) {
  const int savedErrno = errno;
  int none = 0;
  firstSignal.compare_exchange_strong(none, signal);
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already holds a wakeup.
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
    LogError("stop signals cannot be caught; a signal ends the show without its end steps");
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char buffer[16];
    while (::read(pipeEnds[0], buffer, sizeof buffer) > 0) {
    }
    if (handled_) return;
    handled_ = true;
    if (action_) action_();
  });
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &previous[i]);
}

TerminationSignals::~TerminationSignals() {
  if (pipeEnds[0] < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
  notifier_.reset();
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

bool TerminationSignals::received() const { return firstSignal.load() != 0; }

int TerminationSignals::signalNumber() const { return firstSignal.load(); }

}  // namespace quorrel::linux_desktop
