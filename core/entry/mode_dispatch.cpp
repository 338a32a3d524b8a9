#include "entry/mode_dispatch.h"

namespace quorrel {

void DispatchMode(const std::vector<std::string>& arguments, EntryPlatform& platform) {
  const Mode mode = DecodeMode(arguments);
  if (RefusedWhileAShowRuns(mode) && platform.showWindowOnScreen()) return;
  if (mode == Mode::None) return;
  if (mode == Mode::ChangePassword) {
    RunPasswordChange(platform.passwordChangeService());
    return;
  }
  if (!platform.canRun(mode)) return;
  std::unique_ptr<ShowClaim> claim;
  if (mode == Mode::Show) {
    claim = platform.claimShow();
    if (!claim) return;
  }
  platform.run(mode);
  // The claim goes with the show, so that a show started as this one ends
  // is not refused.
}

}  // namespace quorrel
