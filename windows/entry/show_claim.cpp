#include "windows/entry/show_claim.h"

#include <string>

#include "base/log.h"

namespace quorrel::windows_desktop {

std::unique_ptr<MutexShowClaim> MutexShowClaim::Take() {
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"Local\\QuorrelShow");
  if (mutex == nullptr) {
    LogError("the show cannot claim its mutex (error " + std::to_string(::GetLastError()) + ")");
  } else if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return nullptr;
  }
  return std::unique_ptr<MutexShowClaim>(new MutexShowClaim(mutex));
}

MutexShowClaim::~MutexShowClaim() {
  if (mutex_ != nullptr) ::CloseHandle(mutex_);
}

}  // namespace quorrel::windows_desktop
