#include "windows/entry/mpr_password_change.h"

#include <windows.h>

#include "windows/system/system_folder.h"

namespace quorrel::windows_desktop {

void MprPasswordChange::changePassword(const char* provider) {
  HMODULE library = ::LoadLibraryW((SystemFolder() + L"MPR.DLL").c_str());
  if (library == nullptr) return;
  using ChangeFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  auto change =
      reinterpret_cast<ChangeFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "PwdChangePasswordA")));
  // The system's own dialog does the rest; its result is not used.
  if (change != nullptr) (void)change(provider, nullptr, 0, 0);
  ::FreeLibrary(library);
}

}  // namespace quorrel::windows_desktop
