#include "windows/media/media_foundation_files.h"

#include <windows.h>

#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

bool IsExistingFile(const std::wstring& path) {
  if (path.empty() || path.find(L"://") != std::wstring::npos) return false;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string HresultText(std::uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? text : L"", length);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
  return Narrow(message);
}

}  // namespace quorrel::windows_desktop
