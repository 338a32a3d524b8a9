#include "app/modes.h"
#include "app/quorrel_application.h"
#include "settings/data_folder.h"

namespace quorrel {

void RunShowMode(QuorrelApplication& app) {
  SetApplicationTitle("Quorrel");
  SetupDataFolder(app.messageBoxes());
}

}  // namespace quorrel
