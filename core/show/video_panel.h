#pragma once

#include <cstdint>

#include "base/geometry.h"
#include "show/show_state.h"

namespace quorrel {

// x rounded to the nearest integer, a half going to the even neighbour.
[[nodiscard]] std::int32_t RoundHalfEven(double x);

// A panel of `width` by `height` centred on a `screenWidth` by
// `screenHeight` screen; one larger than the screen gets a negative place.
[[nodiscard]] Rect CentredPanel(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t width,
                                std::int32_t height);

// The largest panel with the `width` by `height` picture's shape that fits
// on the screen, centred on it: a miniature of the whole picture, for a
// preview whose little screen no size mode would show whole. A picture of
// no size fills the screen.
[[nodiscard]] Rect FittedPanel(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t width,
                               std::int32_t height);

// Where the panel goes for the state's size mode on a screen of the given
// size. The natural-size mode starts at the custom size, as the custom
// mode does, until the first video tells its own size.
[[nodiscard]] Rect VideoPanelPlace(const ShowState& state, std::int32_t screenWidth, std::int32_t screenHeight);

// A panel as placed on a screen of a given size. A panel larger than the
// screen (a custom size beyond it, a video's own size on a smaller screen)
// stands centred with negative offsets, but only its part on the screen is
// made and drawn: nothing the size of the whole panel is ever allocated for
// a picture nobody sees.
struct PlacedPanel {
  Rect whole;
  // The part on the screen, which is what a window places.
  Rect shown;
  // Where the video is drawn: the whole panel, relative to the shown part.
  [[nodiscard]] Rect videoArea() const {
    return Rect{whole.left - shown.left, whole.top - shown.top, whole.width, whole.height};
  }
};
[[nodiscard]] PlacedPanel OnScreen(const Rect& place, std::int32_t screenWidth, std::int32_t screenHeight);

}  // namespace quorrel
