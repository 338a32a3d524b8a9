#pragma once

#include <windows.h>

#include <memory>

namespace quorrel::windows_desktop {

// The claim of the one show of this session: a named mutex, which the
// first of two shows started at the same instant creates and the second
// finds. Looking for the show window alone lets both run, since neither
// has its window yet when it looks. Held until the show ends; the system
// lets it go with the process.
class ShowClaim {
 public:
  // The claim; nothing when another show holds it. When the mutex cannot
  // be made at all, the claim is given (and a line logged): the look-up of
  // the show window still stands guard.
  [[nodiscard]] static std::unique_ptr<ShowClaim> Take();
  ~ShowClaim();
  ShowClaim(const ShowClaim&) = delete;
  ShowClaim& operator=(const ShowClaim&) = delete;

 private:
  explicit ShowClaim(HANDLE mutex) : mutex_(mutex) {}
  HANDLE mutex_;
};

}  // namespace quorrel::windows_desktop
