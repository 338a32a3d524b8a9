#pragma once

#include <cstdint>
#include <string>

#include "show/video_panel.h"

namespace quorrel {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};

// Where the video panel stands until the start-up places it.
inline constexpr Rect kFirstPanelPlace{27, 256, 185, 147};
// The message screen's text: its place, wrapped within it, in "Arial" with
// characters of this height. Like the panel, in the screen's own pixels.
inline constexpr Rect kMessageLabelPlace{61, 47, 500, 106};
inline constexpr int kMessageFontPixels = 16;

// What the show's logic asks of its window. The Qt window implements it;
// tests record the calls.
class ShowView {
 public:
  virtual ~ShowView() = default;

  // The primary screen's size, asked afresh each time.
  [[nodiscard]] virtual std::int32_t screenWidth() const = 0;
  [[nodiscard]] virtual std::int32_t screenHeight() const = 0;

  virtual void setBackground(Colour colour) = 0;
  virtual void placePanel(const Rect& geometry) = 0;
  virtual void setPanelVisible(bool visible) = 0;
  virtual void setMessageText(const std::string& text) = 0;
  virtual void setMessageVisible(bool visible) = 0;
  // The mouse cursor over the whole application.
  virtual void setCursorVisible(bool visible) = 0;
  virtual void setTimerEnabled(bool enabled) = 0;
  // The general error report: an error that ended what the show was doing.
  virtual void reportError(const std::string& message) = 0;
  // The first step of the end: the show's windows leave the screen at once
  // and the cursor comes back, whatever the steps after it take. A front
  // end that can only do so safely with its players stopped stops them
  // here.
  virtual void takeOffScreen() = 0;
  // The last step of the end: stops and closes both players, in a way that
  // cannot hold the process however long the platform's player takes,
  // closes the window and ends the event loop; the process then exits.
  virtual void closeShow() = 0;
};

// The system's note that a screen saver is running.
class ScreenSaverFlag {
 public:
  virtual ~ScreenSaverFlag() = default;
  virtual void setScreenSaverRunning(bool running) = 0;
};

}  // namespace quorrel
