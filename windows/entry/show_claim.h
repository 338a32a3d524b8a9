#pragma once

#include <windows.h>

#include <memory>

#include "entry/mode_dispatch.h"

namespace quorrel::windows_desktop {

// The claim of the one show of this session: a named mutex, which the
// first of two shows started at the same instant creates and the second
// finds. Held until the show ends; the system
// lets it go with the process.
class MutexShowClaim : public ShowClaim {
 public:
  // The claim; nothing when another show holds it. When the mutex cannot
  // be made at all, the claim is given (and a line logged): the look-up of
  // the show window still stands guard.
  [[nodiscard]] static std::unique_ptr<MutexShowClaim> Take();
  ~MutexShowClaim() override;
  MutexShowClaim(const MutexShowClaim&) = delete;
  MutexShowClaim& operator=(const MutexShowClaim&) = delete;

 private:
  explicit MutexShowClaim(HANDLE mutex) : mutex_(mutex) {}
  HANDLE mutex_;
};

}  // namespace quorrel::windows_desktop
