#include "linux/show/display_power_watch.h"

#include <utility>

namespace quorrel::linux_desktop {

namespace {

constexpr std::chrono::milliseconds kMotionPause{50};

}  // namespace

DisplayPowerWatch::DisplayPowerWatch(std::unique_ptr<X11DisplayPower> power, Listener listener,
                                     std::chrono::milliseconds interval)
    : power_(std::move(power)), listener_(std::move(listener)) {
  pollTimer_.setInterval(interval);
  QObject::connect(&pollTimer_, &QTimer::timeout, [this] { check(); });
  motionPause_.setSingleShot(true);
  motionPause_.setInterval(kMotionPause);
  QObject::connect(&motionPause_, &QTimer::timeout, [this] {
    if (std::exchange(movedDuringPause_, false)) check();
  });
}

DisplayPowerWatch::~DisplayPowerWatch() = default;

void DisplayPowerWatch::start() {
  // Without power levels there is nothing to watch, and no reason to wake
  // up once a second for it.
  if (!power_ || !power_->hasPowerLevels() || pollTimer_.isActive()) return;
  notifier_ = std::make_unique<QSocketNotifier>(power_->fileDescriptor(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    if (power_->takePointerMotion()) pointerMoved();
    if (power_->broken()) {
      // A closed connection stays readable; the show ends with its server.
      notifier_->setEnabled(false);
      pollTimer_.stop();
    }
  });
  pollTimer_.start();
  check();
}

void DisplayPowerWatch::check() {
  const bool poweredDown = power_->poweredDown();
  // Events that came in with the answer would not wake the notifier.
  (void)power_->takePointerMotion();
  if (poweredDown == poweredDown_) return;
  poweredDown_ = poweredDown;
  power_->watchPointer(poweredDown);
  listener_(poweredDown);
}

void DisplayPowerWatch::pointerMoved() {
  if (!poweredDown_) return;
  if (motionPause_.isActive()) {
    movedDuringPause_ = true;
    return;
  }
  check();
  motionPause_.start();
}

}  // namespace quorrel::linux_desktop
