#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "idle/idle_choice.h"

namespace quorrel {

// Where the watcher learns that the session has gone idle, in the order
// they are tried; the first that answers wins. GNOME's own idle monitor
// (on Wayland and on Xorg) honours the session's inhibitors itself; the two
// Wayland protocols honour Wayland idle inhibitors; the X server's
// screen-saver extension knows only the time since the last input.
enum class IdleSourceKind { MutterIdleMonitor, ExtIdleNotifier, KdeIdle, XScreenSaver };

// The name the watcher's start line gives the source.
[[nodiscard]] std::string_view IdleSourceName(IdleSourceKind kind);

// Asks whether a source answers here, connecting to it if so. Sources are
// asked in order and only until one answers, so that a desktop's X server
// started on demand (GNOME's XWayland) is not started for the question.
class IdleSourceProbe {
 public:
  virtual ~IdleSourceProbe() = default;
  [[nodiscard]] virtual bool answers(IdleSourceKind kind) = 0;
};
[[nodiscard]] std::optional<IdleSourceKind> ChooseIdleSource(IdleSourceProbe& probe);

// Plain X11 has no desktop that answers a browser's request to keep the
// screen awake, so there the watcher answers it itself; every desktop with
// an idle protocol of its own has its own answer.
[[nodiscard]] bool AnswersInhibitRequests(IdleSourceKind kind);

// Tells the watcher once each time the session has been without input for
// the wait (IdleWatcher::sessionIdle), and again only after input and a
// new wait.
class IdleSource {
 public:
  virtual ~IdleSource() = default;
  virtual void setWait(std::chrono::milliseconds wait) = 0;
};

// What the watcher asks of the session and does in it.
class IdleDesktop {
 public:
  virtual ~IdleDesktop() = default;
  // A show is running on this display, whoever started it.
  [[nodiscard]] virtual bool showRunning() = 0;
  // The session is locked, or the desktop's own screen saver is active.
  [[nodiscard]] virtual bool locked() = 0;
  // Something asks the desktop to stay awake, in a way that the idle source
  // does not honour itself.
  [[nodiscard]] virtual bool inhibited() = 0;
  // Starts the show; false when it could not be started (it says why).
  [[nodiscard]] virtual bool startShow() = 0;
  // Asks the show this watcher started to end, with its end-of-show steps.
  virtual void endShow() = 0;
};

// The rules of the watcher: start the show when the session has been idle
// for the wait, unless a show already runs, the session is locked or
// something keeps the desktop awake; then wait for the next idle period.
// End the show it started when the session locks under it. Follow the
// settings file: its option turned off ends the watcher, new minutes give
// a new wait.
class IdleWatcher {
 public:
  // `given` is the wait of the command line, which the settings' minutes
  // do not change. Asks the source for the first wait.
  IdleWatcher(IdleDesktop& desktop, IdleSource& source, const IdleChoice& choice,
              std::optional<std::chrono::seconds> given);

  void sessionIdle();
  // The show this watcher started has ended.
  void showExited();
  void lockChanged(bool locked);

  enum class Next { KeepWatching, Stop };
  [[nodiscard]] Next settingsChanged(const IdleChoice& now);

  [[nodiscard]] bool ownShowRunning() const { return ownShowRunning_; }
  [[nodiscard]] std::chrono::seconds wait() const { return wait_; }

 private:
  IdleDesktop& desktop_;
  IdleSource& source_;
  std::optional<std::chrono::seconds> given_;
  bool on_;
  std::chrono::seconds wait_;
  bool ownShowRunning_ = false;
};

}  // namespace quorrel
