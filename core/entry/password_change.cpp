#include "entry/password_change.h"

namespace quorrel {

void RunPasswordChange(PasswordChangeService* service) {
  if (service != nullptr) service->changePassword("SCRSAVE");
}

}  // namespace quorrel
