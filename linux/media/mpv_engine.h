#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <vector>

#include "linux/media/media_backend.h"
#include "linux/media/x11_video_window.h"

struct mpv_handle;
struct mpv_event;

namespace quorrel::linux_desktop {

class MpvDevice;

// One libmpv instance and the window it draws into, set up once and then
// used for one file after another.
class MpvEngine {
 public:
  // Null and a code when mpv does not start.
  // With `outputNow`, the video output starts at once and the instance
  // stays deaf to its events until listen() (see MpvEnginePool::prepareVideo).
  [[nodiscard]] static std::unique_ptr<MpvEngine> Create(X11Connection* x11, UiPoster poster, MediaAudio audio,
                                                         std::uint32_t& errorCode, bool outputNow = false);
  ~MpvEngine();
  MpvEngine(const MpvEngine&) = delete;
  MpvEngine& operator=(const MpvEngine&) = delete;

  [[nodiscard]] mpv_handle* handle() const { return mpv_; }
  [[nodiscard]] VideoWindow* window() const { return window_.get(); }
  // The device whose file the instance plays gets its events; while the
  // engine waits in the pool they are read and thrown away.
  void setOwner(MpvDevice* owner) { owner_ = owner; }
  // Whether the current file's picture goes into the window: only then is
  // mpv watching it and will report its destruction.
  void setShowsVideo(bool showsVideo) {
    showsVideo_ = showsVideo;
    if (showsVideo) hasShownVideo_ = true;
  }
  // Whether any file's picture has gone through this instance's output,
  // which may then still hold the last one.
  [[nodiscard]] bool hasShownVideo() const { return hasShownVideo_; }
  // The picture stretched over `whole` (relative to the display window),
  // of which the video window covers only `shown`: mpv keeps the
  // picture's shape as the whole's and zooms and shifts it inside the
  // smaller window, so that the window shows just its part of the whole.
  // `quarterTurned` tells that mpv turns the picture a quarter round.
  void showPart(const Rect& whole, const Rect& shown, bool quarterTurned);
  // Back to the whole picture stretched over the window. These settings
  // are the instance's, not the file's: the shape given to show a part
  // would also give the next file its display size, and the zoom and pan
  // would cut its picture.
  void showWhole();
  // Takes note of mpv's report that its window has been destroyed.
  void note(const mpv_event& event);
  // Pauses the file and takes the window out of the display window, so
  // that nothing plays or shows while the engine waits for its next file;
  // false when the engine cannot play another file, as when its window has
  // gone with the display window.
  [[nodiscard]] bool park();
  // Has its events posted to the user-interface thread from now on.
  void listen();
  // Selects no sound track for the files it plays from now on, so that it
  // opens no sound stream; false when mpv refuses.
  [[nodiscard]] bool silence();
  // An output started ahead of the first file is kept from here on only
  // while a file shows a picture, as every other instance's is.
  [[nodiscard]] bool followFiles();

 private:
  MpvEngine(mpv_handle* mpv, std::unique_ptr<VideoWindow> window, UiPoster poster)
      : mpv_(mpv), window_(std::move(window)), poster_(std::move(poster)) {}
  static void onWakeup(void* engine);
  // Returns once an output started ahead runs, or after a bound.
  void waitForOutput();
  void drain();

  mpv_handle* mpv_;
  std::unique_ptr<VideoWindow> window_;
  UiPoster poster_;
  MpvDevice* owner_ = nullptr;
  // Posted drains check this first: a drain that arrives after the engine
  // is gone finds it expired and does nothing.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::atomic<bool> drainPosted_{false};
  bool showsVideo_ = false;
  bool hasShownVideo_ = false;
  bool outputForced_ = false;
  // The picture is zoomed and shifted to show a part (see showPart).
  bool showingPart_ = false;
  // mpv has seen its own window destroyed together with the display
  // window (see the destructor).
  bool windowGone_ = false;
};

// The libmpv instances of one back end that no file is using at the moment,
// each with its video window. Starting an instance and its video output
// (and, worse, shutting one down) takes far longer than loading a file into
// one that runs already, so a closed file's instance waits here, paused and
// hidden, for the next file. Devices hold the pool weakly: a device that
// outlives it ends its instance instead.
class MpvEnginePool {
 public:
  explicit MpvEnginePool(UiPoster poster, MediaAudio audio = MediaAudio::On);
  ~MpvEnginePool();
  MpvEnginePool(const MpvEnginePool&) = delete;
  MpvEnginePool& operator=(const MpvEnginePool&) = delete;

  // How many instances may wait: one for the show's video and one for its
  // background sound, which close and open in turn.
  static constexpr std::size_t kMaxIdle = 2;
  [[nodiscard]] std::size_t idleCount() const { return idle_.size(); }

  // Starts one instance ahead of the first video, with its video output
  // started at once rather than when a picture arrives: opening the output
  // (its display connection and graphics context) takes longer than
  // anything else before a first frame, and the caller has start-up work of
  // its own to do meanwhile. The instance starts on a thread of its own,
  // drawing black into its hidden window; the first open for a player with
  // a display window waits for it and gets it.
  void prepareVideo(X11Connection* x11);
  // Whether the instance prepareVideo started still waits for a video.
  [[nodiscard]] bool videoPrepared() const { return prepared_.valid(); }
  // Whether the files opened from now on are heard; the instance started
  // ahead learns it when a video takes it.
  void setAudio(MediaAudio audio) { audio_ = audio; }

 private:
  friend class MpvDevice;
  [[nodiscard]] std::unique_ptr<MpvEngine> take(bool forDisplay);
  void give(std::unique_ptr<MpvEngine> engine);

  UiPoster poster_;
  MediaAudio audio_;
  // The most recently closed last: a player that closes one file and opens
  // the next gets its own instance back.
  std::vector<std::unique_ptr<MpvEngine>> idle_;
  // The instance prepareVideo started, until a video takes it; nothing
  // else touches it before it is ready.
  std::future<std::unique_ptr<MpvEngine>> prepared_;
};

}  // namespace quorrel::linux_desktop
