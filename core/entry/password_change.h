#pragma once

namespace quorrel {

// The system's screen-saver password service. The entry hands it the
// provider name "SCRSAVE" and no owner window, and ignores its result.
class PasswordChangeService {
 public:
  virtual ~PasswordChangeService() = default;
  virtual void changePassword(const char* provider) = 0;
};

// The password service of this platform, or nullptr when it has none.
// Linux desktops have no screen-saver password service: screen lockers
// keep their own, so there is none to call.
[[nodiscard]] PasswordChangeService* PlatformPasswordChangeService();

// The "/A" mode: calls the service when there is one; otherwise ends quietly.
void RunPasswordChange(PasswordChangeService* service);

}  // namespace quorrel
