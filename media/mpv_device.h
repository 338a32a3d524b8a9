#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "media/media_device.h"
#include "media/x11_video_window.h"

struct mpv_handle;
struct mpv_event;

namespace quorrel {

// One file played by its own libmpv instance, drawing into a VideoWindow.
//
// Threading: every method runs on the user-interface thread, which is the
// only thread that calls into the mpv handle or drains its events. mpv's
// wakeup callback comes from mpv's own threads; all it does is post one
// drain to the user-interface thread through the UiPoster. Commands that
// must see their result before they return (open, the seek to the start)
// wait for mpv's events themselves, with a bound.
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
  // the video is then decoded but not shown. Null and a code on failure.
  [[nodiscard]] static std::unique_ptr<MediaDevice> Open(const std::string& path, X11Connection* x11, UiPoster poster,
                                                         std::uint32_t& errorCode);
  ~MpvDevice() override;

  bool hasVideo() const override { return hasVideo_; }
  TRect sourceRect() const override { return source_; }
  std::uint32_t close() override;
  std::uint32_t play() override;
  std::uint32_t stop() override;
  std::uint32_t pause() override;
  std::uint32_t resume() override;
  std::uint32_t seekToStart() override;
  std::uint32_t position(std::int64_t& milliseconds) override;
  std::uint32_t length(std::int64_t& milliseconds) override;
  std::uint32_t mode(TMPModes& mode) override;
  std::uint32_t setDisplayWindow(NativeWindow window) override;
  std::uint32_t setDestination(const TRect& rect) override;
  std::uint32_t destination(TRect& rect) override;

 private:
  MpvDevice(mpv_handle* mpv, std::unique_ptr<VideoWindow> window, UiPoster poster);
  static void onWakeup(void* device);
  void drainEvents();
  void handle(const mpv_event& event);
  // Handles events until `done` holds, the file ends with an error, or the
  // deadline passes; returns 0 or the code of what went wrong.
  template <typename Done>
  std::uint32_t waitFor(Done done, std::chrono::steady_clock::time_point deadline);
  std::uint32_t loadFile(const std::string& path);
  std::uint32_t setPause(bool pause);
  [[nodiscard]] bool flag(const char* property) const;
  void terminate();

  mpv_handle* mpv_;
  std::unique_ptr<VideoWindow> window_;
  UiPoster poster_;
  // Posted drains check this first: a drain that arrives after the device
  // is gone finds it expired and does nothing.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::atomic<bool> drainPosted_{false};

  // mpv has seen its own window destroyed together with the display
  // window (see terminate()).
  bool videoWindowGone_ = false;
  bool loaded_ = false;
  int restarts_ = 0;
  bool ended_ = false;
  std::uint32_t endError_ = 0;
  // Stopped is the state after open and after stop: paused in mpv's terms,
  // but reported as stopped and not resumable.
  bool stopped_ = true;
  bool hasVideo_ = false;
  TRect source_;
};

}  // namespace quorrel
