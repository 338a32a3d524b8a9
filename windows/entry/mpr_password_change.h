#pragma once

#include "entry/password_change.h"

namespace quorrel::windows_desktop {

// PwdChangePasswordA in MPR.DLL from the system folder, called with the
// provider's name, no owner window and two zeros. Systems of the NT family
// have no such entry point; the change then ends quietly.
class MprPasswordChange : public PasswordChangeService {
 public:
  void changePassword(const char* provider) override;
};

}  // namespace quorrel::windows_desktop
