#pragma once

#include <memory>

#include "show/screen_saver_password.h"
#include "show/show_view.h"

namespace quorrel::linux_desktop {

// Linux has no flag for a running screen saver. The stand-in does nothing,
// and in particular never keeps the display from sleeping.
class NoScreenSaverFlag : public ScreenSaverFlag {
 public:
  void setScreenSaverRunning(bool /*running*/) override {}
};

// Linux counts as the NT family, so its password services are never asked;
// there is neither a desktop key nor a password dialog behind them.
class NoScreenSaverPassword : public ScreenSaverPassword {
 public:
  [[nodiscard]] bool endsWithoutPassword() const override { return true; }
  [[nodiscard]] std::unique_ptr<DesktopSettingsKey> openDesktopKey() override { return nullptr; }
  [[nodiscard]] std::unique_ptr<PasswordVerifier> loadVerifier() override { return nullptr; }
};

}  // namespace quorrel::linux_desktop
