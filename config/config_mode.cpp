#include "app/modes.h"
#include "app/quorrel_application.h"
#include "settings/data_folder.h"

namespace quorrel {

void RunConfigMode(QuorrelApplication& app) { SetupDataFolder(app.messageBoxes()); }

}  // namespace quorrel
