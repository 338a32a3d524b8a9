#pragma once

#include <algorithm>
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

// The part `a` and `b` have in common; empty (zero size) when they do not
// meet.
[[nodiscard]] inline Rect Intersection(const Rect& a, const Rect& b) {
  const std::int64_t left = std::max<std::int64_t>(a.left, b.left);
  const std::int64_t top = std::max<std::int64_t>(a.top, b.top);
  const std::int64_t right =
      std::min<std::int64_t>(static_cast<std::int64_t>(a.left) + a.width, static_cast<std::int64_t>(b.left) + b.width);
  const std::int64_t bottom =
      std::min<std::int64_t>(static_cast<std::int64_t>(a.top) + a.height, static_cast<std::int64_t>(b.top) + b.height);
  if (right <= left || bottom <= top) return Rect{};
  return Rect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right - left),
              static_cast<std::int32_t>(bottom - top)};
}

}  // namespace quorrel
