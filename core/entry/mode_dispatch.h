#pragma once

#include <memory>
#include <string>
#include <vector>

#include "entry/arguments.h"
#include "entry/password_change.h"

namespace quorrel {

// The one show of a display or session, held while it runs. Looking for a
// running show's window finds a show on screen, but two shows started at
// the same instant both look before either has a window: the claim lets
// only one of them go on.
class ShowClaim {
 public:
  virtual ~ShowClaim() = default;
};

// What the dispatch asks of the platform, in the order it asks it.
class EntryPlatform {
 public:
  virtual ~EntryPlatform() = default;
  // A show window is on screen. Not asked for a screen-saver host's copy or
  // the settings' preview, which no show on screen refuses.
  [[nodiscard]] virtual bool showWindowOnScreen() = 0;
  // The system's screen-saver password service; nullptr where it has none.
  [[nodiscard]] virtual PasswordChangeService* passwordChangeService() = 0;
  // Whether this platform can run the mode here and now (a display to
  // show on, a mode it serves at all); it says why where it must.
  [[nodiscard]] virtual bool canRun(Mode mode) = 0;
  // The claim of the one show; nothing when another show holds it.
  [[nodiscard]] virtual std::unique_ptr<ShowClaim> claimShow() = 0;
  // Runs the mode to its end.
  virtual void run(Mode mode) = 0;
};

// The start of every process, on every platform: decode the switch, refuse
// every start but a host's while a show is on screen, change the password,
// or claim the one show and run the mode.
void DispatchMode(const std::vector<std::string>& arguments, EntryPlatform& platform);

}  // namespace quorrel
