// quorrel-idle: Quorrel's idle watcher, a small process of the user's
// session that starts the show when the session has been idle for the
// user's wait. `quorrel --idle [SECONDS]` hands over to it:
//
//   quorrel-idle SHOW_PROGRAM [SECONDS]
//
// It links neither Qt nor the media libraries, so that waiting costs the
// session next to nothing, and it sleeps in one poll() until the session,
// the settings file or the show has something to say.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <optional>
#include <string>

#include "base/log.h"
#include "idle/idle_choice.h"
#include "idle/idle_watcher.h"
#include "idle/inhibitions.h"
#include "linux/idle/bus_connection.h"
#include "linux/idle/idle_sources.h"
#include "linux/idle/poll_loop.h"
#include "linux/idle/screen_saver_service.h"
#include "linux/idle/session_desktop.h"
#include "linux/idle/settings_watch.h"
#include "linux/idle/show_process.h"
#include "linux/idle/watcher_lock.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"

namespace {

using namespace quorrel;
using namespace quorrel::linux_desktop;

// SIGTERM, SIGINT and SIGHUP (the session's end, a user's Ctrl+C) end the
// watcher between two waits; a show it started goes on by itself.
class StopSignals : public Pollable {
 public:
  explicit StopSignals(PollLoop& loop) : loop_(loop) {
    sigset_t stops;
    sigemptyset(&stops);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    descriptor_ = signalfd(-1, &stops, SFD_NONBLOCK | SFD_CLOEXEC);
  }
  ~StopSignals() override {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  int pollFd() const override { return descriptor_; }
  short pollEvents() const override { return POLLIN; }
  void afterWait(short revents) override {
    if ((revents & POLLIN) != 0) loop_.stop(0);
  }

 private:
  PollLoop& loop_;
  int descriptor_ = -1;
};

// After every wake: the loop ends when the session's idle source has gone.
class SessionEnd : public Pollable {
 public:
  SessionEnd(const SessionIdleSources& sources, PollLoop& loop) : sources_(sources), loop_(loop) {}
  void afterWait(short) override {
    if (sources_.lost()) loop_.stop(0);
  }

 private:
  const SessionIdleSources& sources_;
  PollLoop& loop_;
};

std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

int main(int argc, char** argv) {
  // A log reader that went away must not end the watcher.
  std::signal(SIGPIPE, SIG_IGN);
  if (argc < 2 || argc > 3) {
    LogError("usage: quorrel --idle [SECONDS]");
    return 2;
  }
  const std::string showProgram = argv[1];
  std::optional<std::chrono::seconds> given;
  if (argc == 3) {
    given = ParseWaitSeconds(argv[2]);
    if (!given) {
      LogError(std::string("idle watcher: the wait is a number of seconds from 1 to 86400, not \"") + argv[2] + "\"");
      return 2;
    }
  }
  const SettingsLocation location = UserSettingsLocation();
  const IdleChoice choice = ReadIdleChoice(SettingsFile(location.SettingsFileName));
  // Started at every login: with the option off there is nothing to do.
  if (!given && !choice.on) return 0;
  const std::unique_ptr<WatcherLock> lock = WatcherLock::Take();
  if (!lock) return 0;

  PollLoop loop;
  StopSignals stops(loop);
  const std::unique_ptr<BusConnection> sessionBus = BusConnection::OpenSession();
  const std::unique_ptr<BusConnection> systemBus = BusConnection::OpenSystem();
  // The sources' and the desktop's events reach the watcher once it exists.
  IdleWatcher* watcher = nullptr;
  SessionIdleSources sources(sessionBus.get(), [&watcher] {
    if (watcher != nullptr) watcher->sessionIdle();
  });
  const std::optional<IdleSourceKind> kind = ChooseIdleSource(sources);
  if (!kind) {
    LogError(
        "idle watcher: nothing tells this session's idle time: no GNOME idle monitor, no Wayland idle protocol, "
        "no X server with the MIT-SCREEN-SAVER extension");
    return 1;
  }
  IdleSource& source = sources.choose(*kind);

  ShowProcess show(showProgram, [&watcher] {
    if (watcher != nullptr) watcher->showExited();
  });
  Inhibitions inhibitions;
  std::unique_ptr<ScreenSaverService> screenSaverService;
  if (sessionBus && AnswersInhibitRequests(*kind)) {
    screenSaverService = ScreenSaverService::Own(
        *sessionBus, inhibitions,
        [&sources] {
          if (sources.x11() != nullptr) sources.x11()->simulateUserActivity();
        },
        [&show] { return show.running(); });
  }
  SessionDesktop desktop(sessionBus.get(), systemBus.get(), show, inhibitions, [&watcher](bool locked) {
    if (watcher != nullptr) watcher->lockChanged(locked);
  });
  IdleWatcher idleWatcher(desktop, source, choice, given);
  watcher = &idleWatcher;
  LogError("idle watcher: starts the show after " + std::to_string(idleWatcher.wait().count()) + " s of inactivity (" +
           std::string(IdleSourceName(*kind)) + ")");

  SettingsWatch settings(location.DataFolder, FileNameOf(location.SettingsFileName), [&] {
    if (idleWatcher.settingsChanged(ReadIdleChoice(SettingsFile(location.SettingsFileName))) ==
        IdleWatcher::Next::Stop) {
      loop.stop(0);
    }
  });
  SessionEnd sessionEnd(sources, loop);
  loop.add(stops);
  if (sessionBus) loop.add(*sessionBus);
  if (systemBus) loop.add(*systemBus);
  if (Pollable* sourceEvents = sources.pollable()) loop.add(*sourceEvents);
  loop.add(show);
  loop.add(settings);
  loop.add(sessionEnd);
  return loop.run();
}
