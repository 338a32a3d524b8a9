#include "show/video_panel.h"

#include <algorithm>
#include <cmath>

namespace quorrel {

std::int32_t RoundHalfEven(double x) {
  // The default rounding mode, which nothing in the program changes, takes
  // halves to the even neighbour.
  return static_cast<std::int32_t>(std::nearbyint(x));
}

Rect CentredPanel(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t width, std::int32_t height) {
  // Computed in double so that a size from the settings file, however
  // large, cannot overflow the subtraction.
  return {RoundHalfEven((static_cast<double>(screenWidth) - width) / 2.0),
          RoundHalfEven((static_cast<double>(screenHeight) - height) / 2.0), width, height};
}

Rect FittedPanel(std::int32_t screenWidth, std::int32_t screenHeight, std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return {0, 0, screenWidth, screenHeight};
  const double scale = std::min(static_cast<double>(screenWidth) / width, static_cast<double>(screenHeight) / height);
  const std::int32_t fittedWidth = std::min(screenWidth, std::max(1, RoundHalfEven(width * scale)));
  const std::int32_t fittedHeight = std::min(screenHeight, std::max(1, RoundHalfEven(height * scale)));
  return CentredPanel(screenWidth, screenHeight, fittedWidth, fittedHeight);
}

namespace {

Rect centredFraction(std::int32_t screenWidth, std::int32_t screenHeight, double divisor) {
  const std::int32_t width = RoundHalfEven(screenWidth / divisor);
  const std::int32_t height = RoundHalfEven(screenHeight / divisor);
  // The place is taken from the rounded size, so that the panel's centre
  // sits at the screen's centre give or take the rounding of the halves.
  return {RoundHalfEven(screenWidth / 2.0 - width / 2.0), RoundHalfEven(screenHeight / 2.0 - height / 2.0), width,
          height};
}

}  // namespace

Rect VideoPanelPlace(const ShowState& state, std::int32_t screenWidth, std::int32_t screenHeight) {
  switch (state.SizeMode) {
    case VideoSizeMode::FullScreen:
      return {0, 0, screenWidth, screenHeight};
    case VideoSizeMode::Medium:
      return centredFraction(screenWidth, screenHeight, 2.0);
    case VideoSizeMode::Small:
      return centredFraction(screenWidth, screenHeight, 4.0);
    case VideoSizeMode::Custom:
    case VideoSizeMode::Natural:
      break;
  }
  return CentredPanel(screenWidth, screenHeight, state.CustomWidth, state.CustomHeight);
}

PlacedPanel OnScreen(const Rect& place, std::int32_t screenWidth, std::int32_t screenHeight) {
  const Rect screen{0, 0, screenWidth, screenHeight};
  return {place, place.empty() || Contains(screen, place) ? place : Intersection(place, screen)};
}

}  // namespace quorrel
