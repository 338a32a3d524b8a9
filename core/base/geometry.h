#pragma once

#include <cstdint>

namespace quorrel {

// A place and size in pixels: a window on the screen, a video panel in the
// show window, or the area a video fills inside its display window.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  [[nodiscard]] bool empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Whether `inner` lies wholly within `outer`.
[[nodiscard]] inline bool Contains(const Rect& outer, const Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         static_cast<std::int64_t>(inner.left) + inner.width <= static_cast<std::int64_t>(outer.left) + outer.width &&
         static_cast<std::int64_t>(inner.top) + inner.height <= static_cast<std::int64_t>(outer.top) + outer.height;
}

}  // namespace quorrel
