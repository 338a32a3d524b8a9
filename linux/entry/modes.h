#pragma once

#include <cstdint>

namespace quorrel::linux_desktop {

class Application;

// Each runs its mode to the end inside the running application object:
// the show until input ends it, the options dialog until it closes.
void RunShowMode(Application& app);
// The show inside a screen-saver host's window (0: the root window), until
// the host stops it.
void RunHostedShowMode(Application& app, std::uint64_t hostWindow);
void RunConfigMode(Application& app);

}  // namespace quorrel::linux_desktop
