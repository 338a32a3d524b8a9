#pragma once

#include <windows.h>

#include "show/screen_saver_password.h"
#include "show/show_view.h"

namespace quorrel::windows_desktop {

// The system's "a screen saver is running" flag
// (SystemParametersInfo, SPI_SETSCREENSAVERRUNNING). Its result is not
// used: the show relies on nothing from it.
class SystemScreenSaverFlag : public ScreenSaverFlag {
 public:
  void setScreenSaverRunning(bool running) override;
};

// A preview in the screen saver settings is no running screen saver: it
// tells the system nothing.
class NoScreenSaverFlag : public ScreenSaverFlag {
 public:
  void setScreenSaverRunning(bool /*running*/) override {}
};

// The screen-saver password services of Windows: the platform test, the
// desktop's "ScreenSaveUsePassword" value, and verifyPassword in
// PASSWORD.CPL, loaded from the system folder. `owner` is the window the
// password dialog belongs to (the show window).
class WinScreenSaverPassword : public ScreenSaverPassword {
 public:
  void setOwner(HWND owner) { owner_ = owner; }
  [[nodiscard]] bool endsWithoutPassword() const override;
  [[nodiscard]] std::unique_ptr<DesktopSettingsKey> openDesktopKey() override;
  [[nodiscard]] std::unique_ptr<PasswordVerifier> loadVerifier() override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace quorrel::windows_desktop
