#pragma once

#include <cstdint>
#include <memory>

#include "entry/mode_dispatch.h"

struct xcb_connection_t;

namespace quorrel::linux_desktop {

// The claim of the one show of an X display: a selection that one client
// of the display owns at a time. Taking the selection is atomic (the look-up
// of its owner and the taking run under a server grab, so no other client
// comes in between), and exactly one of them gets it. The claim holds an X
// connection of its own for the whole show; the selection goes with it,
// also when the process dies. Screen-saver hosts' copies take none.
class SelectionShowClaim : public ShowClaim {
 public:
  // The claim on the display named by DISPLAY (or `displayName`); nothing
  // when another show holds it or the display cannot be reached.
  [[nodiscard]] static std::unique_ptr<SelectionShowClaim> Take(const char* displayName = nullptr);
  ~SelectionShowClaim() override;
  SelectionShowClaim(const SelectionShowClaim&) = delete;
  SelectionShowClaim& operator=(const SelectionShowClaim&) = delete;

 private:
  SelectionShowClaim(xcb_connection_t* connection, std::uint32_t window) : connection_(connection), window_(window) {}
  xcb_connection_t* connection_;
  std::uint32_t window_;
};

// Whether a show holds the claim on the display named by DISPLAY (or
// `displayName`), whoever started it; false when the display cannot be
// reached, where no show can run either.
[[nodiscard]] bool ShowClaimHeld(const char* displayName = nullptr);

}  // namespace quorrel::linux_desktop
