#include "idle/inhibitions.h"

#include <algorithm>

namespace quorrel {

std::uint32_t Inhibitions::inhibit(const std::string& owner, const std::string& application,
                                   const std::string& reason) {
  auto inUse = [this](std::uint32_t cookie) {
    return std::any_of(held_.begin(), held_.end(), [cookie](const Held& h) { return h.cookie == cookie; });
  };
  do {
    ++lastCookie_;
  } while (lastCookie_ == 0 || inUse(lastCookie_));
  held_.push_back({lastCookie_, owner, application, reason});
  return lastCookie_;
}

bool Inhibitions::release(const std::string& owner, std::uint32_t cookie) {
  const auto it =
      std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.cookie == cookie && h.owner == owner; });
  if (it == held_.end()) return false;
  held_.erase(it);
  return true;
}

void Inhibitions::ownerLeft(const std::string& owner) {
  std::erase_if(held_, [&owner](const Held& h) { return h.owner == owner; });
}

bool Inhibitions::holds(const std::string& owner) const {
  return std::any_of(held_.begin(), held_.end(), [&owner](const Held& h) { return h.owner == owner; });
}

}  // namespace quorrel
