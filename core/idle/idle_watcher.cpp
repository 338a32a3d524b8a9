#include "idle/idle_watcher.h"

namespace quorrel {

std::string_view IdleSourceName(IdleSourceKind kind) {
  switch (kind) {
    case IdleSourceKind::MutterIdleMonitor:
      return "org.gnome.Mutter.IdleMonitor";
    case IdleSourceKind::ExtIdleNotifier:
      return "ext_idle_notifier_v1";
    case IdleSourceKind::KdeIdle:
      return "org_kde_kwin_idle";
    case IdleSourceKind::XScreenSaver:
      return "MIT-SCREEN-SAVER";
  }
  return "";
}

std::optional<IdleSourceKind> ChooseIdleSource(IdleSourceProbe& probe) {
  for (const IdleSourceKind kind : {IdleSourceKind::MutterIdleMonitor, IdleSourceKind::ExtIdleNotifier,
                                    IdleSourceKind::KdeIdle, IdleSourceKind::XScreenSaver}) {
    if (probe.answers(kind)) return kind;
  }
  return std::nullopt;
}

bool AnswersInhibitRequests(IdleSourceKind kind) { return kind == IdleSourceKind::XScreenSaver; }

IdleWatcher::IdleWatcher(IdleDesktop& desktop, IdleSource& source, const IdleChoice& choice,
                         std::optional<std::chrono::seconds> given)
    : desktop_(desktop), source_(source), given_(given), on_(choice.on), wait_(WatcherWait(choice, given)) {
  source_.setWait(wait_);
}

void IdleWatcher::sessionIdle() {
  // Each question is asked only when the one before it let the start go
  // on: the desktop is asked nothing while nobody is away.
  if (ownShowRunning_ || desktop_.showRunning() || desktop_.locked() || desktop_.inhibited()) return;
  ownShowRunning_ = desktop_.startShow();
}

void IdleWatcher::showExited() { ownShowRunning_ = false; }

void IdleWatcher::lockChanged(bool locked) {
  // The user comes back to the lock screen or the desktop's own saver, not
  // to a video playing behind it.
  if (locked && ownShowRunning_) desktop_.endShow();
}

IdleWatcher::Next IdleWatcher::settingsChanged(const IdleChoice& now) {
  // Only a change to off ends the watcher: one started with a wait of its
  // own while the option was off keeps running.
  if (on_ && !now.on) return Next::Stop;
  on_ = now.on;
  const std::chrono::seconds wait = WatcherWait(now, given_);
  if (wait != wait_) {
    wait_ = wait;
    source_.setWait(wait_);
  }
  return Next::KeepWatching;
}

}  // namespace quorrel
