#pragma once

namespace quorrel::linux_desktop {

class Application;

// The "/C" mode: the options dialog inside the running application object
// until it closes.
void RunConfigMode(Application& app);

}  // namespace quorrel::linux_desktop
