#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "linux/media/mpv_engine.h"
#include "linux/media/x11_video_window.h"
#include "media/media_device.h"

struct mpv_handle;
struct mpv_event;

namespace quorrel::linux_desktop {

// One file played by a libmpv instance, drawing into a VideoWindow. The
// instance is the pool's when the device opens (a fresh one when the pool has
// none) and goes back to it when the device closes.
//
// Threading: every method runs on the user-interface thread, which is the
// only thread that calls into the mpv handle or drains its events. mpv's
// wakeup callback comes from mpv's own threads; all it does is post one
// drain to the user-interface thread through the pool's UiPoster. Commands
// that must see their result before they return (open, the seek to the
// start) wait for mpv's events themselves, with a bound.
class MpvDevice final : public MediaDevice {
 public:
  // The video output: OpenGL through EGL on X11, which is the graphics card
  // on a desktop (scaling the picture there, not on the processor) and
  // Mesa's software renderer where there is none, as under Xvfb. The
  // plain "x11" output is deliberately not a fallback: when its window is
  // destroyed under it, it waits forever for a drawing to complete, which
  // would leave the show unable to end. The benchmark starts the mpv command
  // with the same choice.
  static constexpr const char* kVideoOutput = "gpu";
  static constexpr const char* kGpuContext = "x11egl";

  // Loads `path`, an absolute path already checked to be a local regular
  // file, paused at its start. `x11` may be null when there is no display;
  // the video is then decoded but not shown. It must be the same for every
  // open on one pool. `display` is the player's display window, 0 for a
  // player that only plays sound. Null and a code on failure; the instance
  // that failed is ended, not kept.
  [[nodiscard]] static std::unique_ptr<MediaDevice> Open(const std::string& path, X11Connection* x11,
                                                         const std::shared_ptr<MpvEnginePool>& pool,
                                                         std::uint32_t& errorCode, NativeWindow display = 0);
  ~MpvDevice() override;

  bool hasVideo() const override { return hasVideo_; }
  Rect sourceRect() const override { return source_; }
  std::uint32_t close() override;
  std::uint32_t play() override;
  std::uint32_t stop() override;
  std::uint32_t pause() override;
  std::uint32_t resume() override;
  std::uint32_t seekToStart() override;
  std::uint32_t position(std::int64_t& milliseconds) override;
  std::uint32_t length(std::int64_t& milliseconds) override;
  std::uint32_t mode(PlayerMode& mode) override;
  std::uint32_t setDisplayWindow(NativeWindow window) override;
  std::uint32_t setDestination(const Rect& rect) override;
  std::uint32_t destination(Rect& rect) override;

  // The decoder of the video now playing: mpv's name of the hardware
  // decoding in use ("vaapi", "vdpau", ...) or "no" for software; empty
  // before the first frame or without video.
  [[nodiscard]] std::string videoDecoder() const;

 private:
  MpvDevice(std::unique_ptr<MpvEngine> engine, std::weak_ptr<MpvEnginePool> pool, NativeWindow display);
  friend class MpvEngine;
  void drainEvents();
  void handle(const mpv_event& event);
  // Handles events until `done` holds, the file ends with an error, or the
  // deadline passes; returns 0 or the code of what went wrong.
  template <typename Done>
  std::uint32_t waitFor(Done done, std::chrono::steady_clock::time_point deadline);
  std::uint32_t loadFile(const std::string& path);
  // Puts the window in the display window at the size the file's header
  // gives, before the first frame is drawn.
  void placeEarly();
  std::uint32_t setPause(bool pause);
  // Places the video window, and the picture within it when the window
  // shows only part of the placement.
  std::uint32_t placeWindow(const Rect& placement);
  void fitPicture();
  [[nodiscard]] bool flag(const char* property) const;
  // Whether the rotation in degrees that `property` holds is a quarter or
  // three-quarter turn, which swaps the picture's width and height.
  [[nodiscard]] bool quarterTurned(const char* property) const;
  // Gives the instance back to the pool when it can play another file,
  // and ends it otherwise.
  void release(bool reusable);

  std::unique_ptr<MpvEngine> engine_;
  std::weak_ptr<MpvEnginePool> pool_;
  // The engine's handle and window while the device has the engine.
  mpv_handle* mpv_ = nullptr;
  VideoWindow* window_ = nullptr;
  NativeWindow display_ = 0;

  // The instance may still be busy with the file it played before; its
  // events are told apart by the playlist entry of this device's file.
  std::int64_t entry_ = -1;
  bool started_ = false;
  bool loaded_ = false;
  int restarts_ = 0;
  bool ended_ = false;
  std::uint32_t endError_ = 0;
  // Stopped is the state after open and after stop: paused in mpv's terms,
  // but reported as stopped and not resumable.
  bool stopped_ = true;
  bool hasVideo_ = false;
  Rect source_;
};

}  // namespace quorrel::linux_desktop
