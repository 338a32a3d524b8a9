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

// Where the panel goes for the state's size mode on a screen of the given
// size. The natural-size mode starts at the custom size, as the custom
// mode does, until the first video tells its own size.
[[nodiscard]] Rect VideoPanelPlace(const ShowState& state, std::int32_t screenWidth, std::int32_t screenHeight);

}  // namespace quorrel
