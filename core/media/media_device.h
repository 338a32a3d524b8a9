#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/media_types.h"

namespace quorrel {

// One open media file on a back end (libmpv, FluidSynth, or a test fake).
// Every command returns the back end's result code: 0 for success, any
// other number a failure whose text MediaBackend::errorText gives.
// Destroying the device closes the file and ends its playback.
class MediaDevice {
 public:
  virtual ~MediaDevice() = default;

  [[nodiscard]] virtual bool hasVideo() const = 0;
  // The video's own frame, (0, 0, width, height); all zero without video.
  [[nodiscard]] virtual Rect sourceRect() const = 0;

  [[nodiscard]] virtual std::uint32_t close() = 0;
  [[nodiscard]] virtual std::uint32_t play() = 0;
  [[nodiscard]] virtual std::uint32_t stop() = 0;
  [[nodiscard]] virtual std::uint32_t pause() = 0;
  [[nodiscard]] virtual std::uint32_t resume() = 0;
  [[nodiscard]] virtual std::uint32_t seekToStart() = 0;
  // Position and length in milliseconds.
  [[nodiscard]] virtual std::uint32_t position(std::int64_t& milliseconds) = 0;
  [[nodiscard]] virtual std::uint32_t length(std::int64_t& milliseconds) = 0;
  [[nodiscard]] virtual std::uint32_t mode(PlayerMode& mode) = 0;

  // Draw into this window; the device's default placement is the frame's
  // own size at the window's top-left corner.
  [[nodiscard]] virtual std::uint32_t setDisplayWindow(NativeWindow window) = 0;
  // Where in the display window the video is drawn, stretched to fill it.
  [[nodiscard]] virtual std::uint32_t setDestination(const Rect& rect) = 0;
  [[nodiscard]] virtual std::uint32_t destination(Rect& rect) = 0;

  // Whether the device may be stopped and closed on a thread other than
  // the one that opened it (a show that must not wait for a slow close
  // does that).
  [[nodiscard]] virtual bool closesOnAnyThread() const { return false; }
};

// Opens files on the right device and names failures.
class MediaBackend {
 public:
  virtual ~MediaBackend() = default;
  // `display` is the window the player shows pictures in, or 0 for a
  // player without one; a back end may put the picture there while the
  // file is still loading. nullptr and a non-zero errorCode when the file
  // cannot be opened.
  [[nodiscard]] virtual std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow display,
                                                          std::uint32_t& errorCode) = 0;
  // Starts, ahead of the first video, whatever the back end takes long to
  // start, so that it starts while the caller sets up its window.
  virtual void prepareVideo() {}
  // The code read mode records when nothing is open.
  [[nodiscard]] virtual std::uint32_t noDeviceCode() const = 0;
  // The text for a code, or empty text when the back end has none.
  [[nodiscard]] virtual std::string errorText(std::uint32_t code) const = 0;
};

}  // namespace quorrel
