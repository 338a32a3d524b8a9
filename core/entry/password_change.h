#pragma once

namespace quorrel {

// The system's screen-saver password service. The entry hands it the
// provider name "SCRSAVE" and no owner window, and ignores its result.
// Linux desktops have none: screen lockers keep their own passwords.
class PasswordChangeService {
 public:
  virtual ~PasswordChangeService() = default;
  virtual void changePassword(const char* provider) = 0;
};

// The "/A" mode: calls the service when there is one; otherwise ends quietly.
void RunPasswordChange(PasswordChangeService* service);

}  // namespace quorrel
