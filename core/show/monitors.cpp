#include "show/monitors.h"

#include <algorithm>

namespace quorrel {

std::vector<Monitor> InShowOrder(std::vector<Monitor> monitors) {
  auto primary = std::find_if(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
  if (primary == monitors.end()) primary = monitors.begin();
  if (primary != monitors.end()) std::rotate(monitors.begin(), primary, primary + 1);
  if (monitors.size() > 1) {
    std::stable_sort(monitors.begin() + 1, monitors.end(), [](const Monitor& a, const Monitor& b) {
      return a.place.left != b.place.left ? a.place.left < b.place.left : a.place.top < b.place.top;
    });
  }
  return monitors;
}

std::vector<Monitor> WithoutMirrors(std::vector<Monitor> monitors) {
  std::vector<Monitor> distinct;
  for (Monitor& monitor : monitors) {
    const bool mirror = std::any_of(distinct.begin(), distinct.end(),
                                    [&monitor](const Monitor& shown) { return shown.place == monitor.place; });
    if (!mirror) distinct.push_back(std::move(monitor));
  }
  return distinct;
}

}  // namespace quorrel
