#pragma once

namespace quorrel {

class QuorrelApplication;

// Each runs its mode to the end inside the running application object:
// the show until input ends it, the options dialog until it closes.
void RunShowMode(QuorrelApplication& app);
void RunConfigMode(QuorrelApplication& app);

}  // namespace quorrel
