#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace quorrel {

// The desktop settings key of the user's profile. Destroying it closes it.
class DesktopSettingsKey {
 public:
  virtual ~DesktopSettingsKey() = default;
  // "ScreenSaveUsePassword"; nullopt when the value is missing or is not a
  // 32-bit number.
  [[nodiscard]] virtual std::optional<std::uint32_t> screenSaveUsePassword() const = 0;
};

// The system's screen-saver password dialog, loaded. Destroying it unloads
// the library it lives in.
class PasswordVerifier {
 public:
  virtual ~PasswordVerifier() = default;
  // Shows the dialog over the show window; true when the user entered the
  // right password, false after a wrong one or Cancel.
  [[nodiscard]] virtual bool verifyPassword() = 0;
};

// The platform's password services as the end of the show uses them.
class ScreenSaverPassword {
 public:
  virtual ~ScreenSaverPassword() = default;
  // Input ends the show at once, without asking for a password: on Windows
  // of the NT family, whose own session lock keeps the password, and on
  // Linux, whose screen lockers keep theirs.
  [[nodiscard]] virtual bool endsWithoutPassword() const = 0;
  // nullptr when the key cannot be opened; it is never created.
  [[nodiscard]] virtual std::unique_ptr<DesktopSettingsKey> openDesktopKey() = 0;
  // nullptr when the password library cannot be loaded or lacks the
  // verification entry point.
  [[nodiscard]] virtual std::unique_ptr<PasswordVerifier> loadVerifier() = 0;
};

}  // namespace quorrel
