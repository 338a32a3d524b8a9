#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorrel {

// The requests to keep the desktop awake that the watcher answers itself
// where no desktop does (org.freedesktop.ScreenSaver's Inhibit and
// UnInhibit): a browser playing a video holds one while it plays. Each is
// known by its cookie and belongs to the bus connection that asked for it,
// so it ends when that connection leaves the bus, as when the browser
// crashes, and no other connection can end it.
class Inhibitions {
 public:
  // A new inhibition; its cookie is never 0 and never one in use.
  [[nodiscard]] std::uint32_t inhibit(const std::string& owner, const std::string& application,
                                      const std::string& reason);
  // Ends the owner's inhibition with that cookie; false when it has none.
  bool release(const std::string& owner, std::uint32_t cookie);
  // Ends every inhibition of an owner that has left the bus.
  void ownerLeft(const std::string& owner);
  [[nodiscard]] bool any() const { return !held_.empty(); }
  // Whether the owner holds one, so that its leaving the bus matters.
  [[nodiscard]] bool holds(const std::string& owner) const;

 private:
  struct Held {
    std::uint32_t cookie;
    std::string owner;
    std::string application;
    std::string reason;
  };
  std::vector<Held> held_;
  std::uint32_t lastCookie_ = 0;
};

}  // namespace quorrel
