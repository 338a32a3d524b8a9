#include "windows/system/system_folder.h"

#include <windows.h>

#include <array>

namespace quorrel::windows_desktop {

std::wstring SystemFolder() {
  std::array<wchar_t, MAX_PATH> buffer{};
  const UINT length = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  std::wstring folder(buffer.data(), length);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

}  // namespace quorrel::windows_desktop
