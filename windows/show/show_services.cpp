#include "windows/show/show_services.h"

#include <array>

#include "windows/system/system_folder.h"

namespace quorrel::windows_desktop {

namespace {

class RegistryDesktopKey : public DesktopSettingsKey {
 public:
  explicit RegistryDesktopKey(HKEY key) : key_(key) {}
  ~RegistryDesktopKey() override { ::RegCloseKey(key_); }
  RegistryDesktopKey(const RegistryDesktopKey&) = delete;
  RegistryDesktopKey& operator=(const RegistryDesktopKey&) = delete;

  std::optional<std::uint32_t> screenSaveUsePassword() const override {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegQueryValueExW(key_, L"ScreenSaveUsePassword", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
      return std::nullopt;
    }
    return value;
  }

 private:
  HKEY key_;
};

using VerifyFunction = BOOL(WINAPI*)(HWND);

class CplVerifier : public PasswordVerifier {
 public:
  CplVerifier(HMODULE library, VerifyFunction verify, HWND owner) : library_(library), verify_(verify), owner_(owner) {}
  ~CplVerifier() override { ::FreeLibrary(library_); }
  CplVerifier(const CplVerifier&) = delete;
  CplVerifier& operator=(const CplVerifier&) = delete;

  bool verifyPassword() override { return verify_(owner_) != FALSE; }

 private:
  HMODULE library_;
  VerifyFunction verify_;
  HWND owner_;
};

}  // namespace

void SystemScreenSaverFlag::setScreenSaverRunning(bool running) {
  BOOL previous = FALSE;
  ::SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

// Systems of the NT family: platform identifier 2.
bool WinScreenSaverPassword::endsWithoutPassword() const {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL known = ::GetVersionExW(&version);
#pragma GCC diagnostic pop
  return known && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::unique_ptr<DesktopSettingsKey> WinScreenSaverPassword::openDesktopKey() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<RegistryDesktopKey>(key);
}

std::unique_ptr<PasswordVerifier> WinScreenSaverPassword::loadVerifier() {
  HMODULE library = ::LoadLibraryW((SystemFolder() + L"PASSWORD.CPL").c_str());
  if (library == nullptr) return nullptr;
  auto verify =
      reinterpret_cast<VerifyFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "VerifyScreenSavePwd")));
  if (verify == nullptr) {
    // A library without the entry point cannot check a password; the show
    // then ends on input as it does without a password.
    ::FreeLibrary(library);
    return nullptr;
  }
  return std::make_unique<CplVerifier>(library, verify, owner_);
}

}  // namespace quorrel::windows_desktop
