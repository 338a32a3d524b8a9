#pragma once

#include <chrono>
#include <optional>

namespace quorrel {

class SettingsFile;

// Whether the show starts by itself, and after how long without input, as
// the settings file says: "Idlestart" and "Idleminutes" of "Options". A
// missing file reads as off, after the default wait.
struct IdleChoice {
  bool on = false;
  std::chrono::seconds wait{0};
  friend bool operator==(const IdleChoice&, const IdleChoice&) = default;
};

[[nodiscard]] IdleChoice ReadIdleChoice(const SettingsFile& file);

// The wait a watcher works with: the one given when it was started (for a
// user who wants seconds, and for tests), else the settings' minutes.
[[nodiscard]] std::chrono::seconds WatcherWait(const IdleChoice& choice, std::optional<std::chrono::seconds> given);

// A number of seconds as the watcher's command line gives it: decimal
// digits only, 1 to one day. Nothing for anything else.
[[nodiscard]] std::optional<std::chrono::seconds> ParseWaitSeconds(const char* text);

}  // namespace quorrel
