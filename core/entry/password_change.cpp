#include "entry/password_change.h"

namespace quorrel {

PasswordChangeService* PlatformPasswordChangeService() { return nullptr; }

void RunPasswordChange(PasswordChangeService* service) {
  if (service != nullptr) service->changePassword("SCRSAVE");
}

}  // namespace quorrel
