#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "media/media_device.h"
#include "media/media_types.h"

namespace quorrel {

// The player that the show and the preview drive: one media file at a time,
// a video drawn into the display window or a sound without one. It owns no
// thread; every call runs on the user-interface thread and returns as soon
// as the back end has carried out or accepted the command. The end of a
// file shows only as the mode stopped.
class MediaPlayer {
 public:
  // `display` is the window the video is drawn into (0: none); the back end
  // must outlive the player.
  MediaPlayer(MediaBackend& backend, NativeWindow display, bool autoRewind);
  ~MediaPlayer();
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  void setFileName(std::string fileName) { fileName_ = std::move(fileName); }
  [[nodiscard]] const std::string& fileName() const { return fileName_; }

  // Throws MediaDeviceError with the back end's text when the file cannot be
  // opened; nothing is open afterwards. An open player is closed first.
  void open();
  void close();
  // Each throws MediaDeviceError("No MCI device open") with nothing open;
  // any other failure is only recorded in the error code.
  void play();
  void stop();
  void pause();  // a toggle: pauses a playing file, resumes a paused one
  void resume();

  void setDisplayRect(const Rect& rect);
  [[nodiscard]] Rect displayRect(const Rect& callersRect);
  [[nodiscard]] PlayerMode mode();
  [[nodiscard]] std::uint32_t error() const { return errorCode_; }
  [[nodiscard]] std::string errorMessage() const;

  [[nodiscard]] bool isOpen() const { return device_ != nullptr; }
  // Whether the player may be stopped, closed and destroyed on another
  // thread than the one that opened its file: true with nothing open.
  [[nodiscard]] bool closesOnAnyThread() const { return !device_ || device_->closesOnAnyThread(); }
  [[nodiscard]] bool autoRewind() const { return autoRewind_; }
  [[nodiscard]] NativeWindow display() const { return display_; }
  [[nodiscard]] Rect naturalSize() const { return naturalSize_; }

 private:
  void requireOpen() const;

  MediaBackend& backend_;
  NativeWindow display_;
  bool autoRewind_;
  std::string fileName_;
  std::unique_ptr<MediaDevice> device_;
  std::uint32_t errorCode_ = 0;
  bool hasVideo_ = false;
  Rect naturalSize_;
};

}  // namespace quorrel
