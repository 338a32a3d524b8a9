#include "media/mpv_device.h"

#include <mpv/client.h>

#include <atomic>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

#include "media/media_errors.h"

namespace quorrel {

namespace {

using Clock = std::chrono::steady_clock;

// Loading reads the file's headers and decodes its first frame; a file that
// takes longer than this is treated as one that cannot be played, so that a
// damaged file cannot freeze the caller.
constexpr auto kLoadBound = std::chrono::seconds(10);
constexpr auto kSeekBound = std::chrono::seconds(3);
constexpr auto kWindowGoneBound = std::chrono::seconds(2);
constexpr auto kOutputStartBound = std::chrono::seconds(3);

// mpv turns the destruction of its window into this key; bound to a script
// message, it tells the device that mpv has let go of the window.
constexpr const char* kWindowGoneMessage = "quorrel-video-window-gone";

// Everything mpv would otherwise do on its own account is switched off: it
// is a drawing surface and a decoder here, nothing more. It reads no
// configuration and runs no scripts, takes no keyboard or mouse input
// (the application must see every key and click), shows no controls, OSD
// or cursor, does not keep the display awake, and opens local files only:
// no URL resolvers, no playlists or references that lead elsewhere, and a
// file-only protocol list for anything FFmpeg opens on its own.
const char* const kOptions[][2] = {
    {"config", "no"},
    {"load-scripts", "no"},
    {"osc", "no"},
    {"ytdl", "no"},
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"terminal", "no"},
    {"input-terminal", "no"},
    {"input-default-bindings", "no"},
    {"input-builtin-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"input-cursor", "no"},
    {"input-media-keys", "no"},
    {"cursor-autohide", "always"},
    {"osd-level", "0"},
    {"osd-bar", "no"},
    {"stop-screensaver", "no"},
    {"keepaspect", "no"},
    {"keep-open", "yes"},
    {"idle", "yes"},
    {"force-window", "no"},
    {"audio-display", "no"},
    {"resume-playback", "no"},
    {"save-position-on-quit", "no"},
    {"autoload-files", "no"},
    {"sub-auto", "no"},
    {"audio-file-auto", "no"},
    {"access-references", "no"},
    {"load-unsafe-playlists", "no"},
    {"demuxer", "lavf"},
    {"demuxer-lavf-o", "protocol_whitelist=file"},
    {"vo", MpvDevice::kVideoOutput},
    {"gpu-context", MpvDevice::kGpuContext},
    // The PulseAudio protocol first: it is what the system mute switches,
    // and PipeWire's pulse server answers it too.
    {"ao", "pulse,pipewire,alsa"},
    // Every file gets an audio stream of its own, as it did when every file
    // had an instance of its own; a kept stream would carry one file's
    // sound settings over to the next.
    {"gapless-audio", "no"},
    {"pause", "yes"},
};

std::int64_t toMilliseconds(double seconds) { return std::llround(seconds * 1000.0); }

}  // namespace

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
  // Takes note of mpv's report that its window has been destroyed.
  void note(const mpv_event& event);
  // Pauses the file and takes the window out of the display window, so
  // that nothing plays or shows while the engine waits for its next file;
  // false when the engine cannot play another file, as when its window has
  // gone with the display window.
  [[nodiscard]] bool park();
  // Has its events posted to the user-interface thread from now on.
  void listen();
  void waitForOutput();
  // An output started ahead of the first file is kept from here on only
  // while a file shows a picture, as every other instance's is.
  [[nodiscard]] bool followFiles();

 private:
  MpvEngine(mpv_handle* mpv, std::unique_ptr<VideoWindow> window, UiPoster poster)
      : mpv_(mpv), window_(std::move(window)), poster_(std::move(poster)) {}
  static void onWakeup(void* engine);
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
  // mpv has seen its own window destroyed together with the display
  // window (see the destructor).
  bool windowGone_ = false;
};

std::unique_ptr<MpvEngine> MpvEngine::Create(X11Connection* x11, UiPoster poster, MediaAudio audio,
                                             std::uint32_t& errorCode, bool outputNow) {
  using namespace media_errors;
  mpv_handle* mpv = mpv_create();
  if (mpv == nullptr) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  std::unique_ptr<VideoWindow> window;
  if (x11 != nullptr) window = VideoWindow::Create(*x11);
  // The engine owns the handle from here on, so every failure below ends
  // the mpv instance and removes the window.
  std::unique_ptr<MpvEngine> engine(new MpvEngine(mpv, std::move(window), std::move(poster)));

  for (const auto& option : kOptions) {
    if (mpv_set_option_string(mpv, option[0], option[1]) < 0) {
      errorCode = kPlayerStartFailed;
      return nullptr;
    }
  }
  // A silent instance selects no sound track, so it opens no sound stream.
  if (audio == MediaAudio::Off && mpv_set_option_string(mpv, "aid", "no") < 0) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  const std::string wid = engine->window_ ? std::to_string(engine->window_->id()) : std::string();
  const int widResult = engine->window_ ? mpv_set_option_string(mpv, "wid", wid.c_str())
                                        : mpv_set_option_string(mpv, "vo", "null");
  // An idle instance with a forced window opens its output right away.
  engine->outputForced_ = outputNow && engine->window_;
  if (engine->outputForced_ && mpv_set_option_string(mpv, "force-window", "yes") < 0) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  if (widResult < 0 || mpv_initialize(mpv) < 0) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  const std::string onWindowGone = std::string("script-message ") + kWindowGoneMessage;
  const char* bind[] = {"keybind", "CLOSE_WIN", onWindowGone.c_str(), nullptr};
  if (mpv_command(mpv, bind) < 0) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  if (outputNow) {
    engine->waitForOutput();
  } else {
    engine->listen();
  }
  return engine;
}

void MpvEngine::waitForOutput() {
  // Ready once the output runs, so that the first file finds it running
  // (see MpvDevice::placeEarly). An output that cannot start leaves the
  // flag off; the bound keeps the first video from waiting long for it.
  if (!outputForced_ || mpv_observe_property(mpv_, 0, "vo-configured", MPV_FORMAT_FLAG) < 0) return;
  const auto deadline = Clock::now() + kOutputStartBound;
  while (true) {
    const auto left = std::chrono::duration<double>(deadline - Clock::now()).count();
    if (left <= 0) break;
    const mpv_event* event = mpv_wait_event(mpv_, left);
    if (event->event_id == MPV_EVENT_SHUTDOWN) break;
    if (event->event_id != MPV_EVENT_PROPERTY_CHANGE) continue;
    const auto* property = static_cast<const mpv_event_property*>(event->data);
    if (property->format == MPV_FORMAT_FLAG && *static_cast<const int*>(property->data) != 0) break;
  }
  mpv_unobserve_property(mpv_, 0);
}

MpvEngine::~MpvEngine() {
  // When the display window has been destroyed, mpv's own window inside it
  // has gone too. mpv's X11 output, shutting down, unmaps its window after
  // it has put back Xlib's default error handler, which ends the whole
  // process on the error that a vanished window gives. mpv skips that step
  // once it has seen the window's destruction, so it is given the moment it
  // needs to see it.
  if (window_ && showsVideo_ && !windowGone_ && !window_->exists()) {
    const auto deadline = Clock::now() + kWindowGoneBound;
    while (!windowGone_) {
      const auto left = std::chrono::duration<double>(deadline - Clock::now()).count();
      if (left <= 0) break;
      note(*mpv_wait_event(mpv_, left));
    }
  }
  // After mpv_terminate_destroy returns no callback can come any more;
  // only then may the window mpv draws into go away.
  mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
  mpv_terminate_destroy(mpv_);
  window_.reset();
  alive_.reset();
}

void MpvEngine::listen() { mpv_set_wakeup_callback(mpv_, &MpvEngine::onWakeup, this); }

bool MpvEngine::followFiles() {
  if (!outputForced_) return true;
  outputForced_ = false;
  // With a picture on, this changes nothing until the picture goes; after
  // a sound-only file it ends the output at once.
  return mpv_set_property_string(mpv_, "force-window", "no") >= 0;
}

void MpvEngine::onWakeup(void* data) {
  // On one of mpv's threads: only post, and only one drain at a time.
  auto* engine = static_cast<MpvEngine*>(data);
  if (!engine->poster_ || engine->drainPosted_.exchange(true)) return;
  std::weak_ptr<int> alive = engine->alive_;
  engine->poster_([engine, alive] {
    if (alive.expired()) return;
    engine->drainPosted_ = false;
    engine->drain();
  });
}

void MpvEngine::drain() {
  if (owner_ != nullptr) {
    owner_->drainEvents();
    return;
  }
  while (true) {
    const mpv_event* event = mpv_wait_event(mpv_, 0);
    if (event->event_id == MPV_EVENT_NONE) return;
    note(*event);
  }
}

void MpvEngine::note(const mpv_event& event) {
  if (event.event_id != MPV_EVENT_CLIENT_MESSAGE) return;
  const auto* message = static_cast<const mpv_event_client_message*>(event.data);
  if (message->num_args >= 1 && std::string(message->args[0]) == kWindowGoneMessage) windowGone_ = true;
}

bool MpvEngine::park() {
  if (windowGone_) return false;
  if (showsVideo_) {
    // A video stays loaded, paused: ending it would end the video output
    // too, and shutting that down and starting it again is most of what
    // the next file would otherwise wait for.
    int pause = 1;
    if (mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &pause) < 0) return false;
  } else if (mpv_command_string(mpv_, "stop") < 0) {
    // A sound has nothing worth keeping; stopped, it lets go of its audio
    // stream.
    return false;
  }
  return !window_ || window_->detach();
}

MpvEnginePool::MpvEnginePool(UiPoster poster, MediaAudio audio) : poster_(std::move(poster)), audio_(audio) {}

MpvEnginePool::~MpvEnginePool() = default;

void MpvEnginePool::prepareVideo(X11Connection* x11) {
  if (x11 == nullptr || prepared_.valid()) return;
  // libmpv may be called from any thread, and an xcb connection from
  // several at once; until the future is read, only that thread uses the
  // instance and its window.
  try {
    prepared_ = std::async(std::launch::async, [x11, poster = poster_, audio = audio_] {
      std::uint32_t errorCode = 0;
      return MpvEngine::Create(x11, poster, audio, errorCode, true);
    });
  } catch (const std::system_error&) {
    // Without a thread to spare, the first video starts its own instance.
  }
}

std::unique_ptr<MpvEngine> MpvEnginePool::take(bool forDisplay) {
  if (forDisplay && prepared_.valid()) {
    // An instance that failed to start is no loss: a fresh one is tried,
    // and its failure is reported.
    if (std::unique_ptr<MpvEngine> engine = prepared_.get()) {
      engine->listen();
      return engine;
    }
  }
  if (idle_.empty()) return nullptr;
  std::unique_ptr<MpvEngine> engine = std::move(idle_.back());
  idle_.pop_back();
  return engine;
}

void MpvEnginePool::give(std::unique_ptr<MpvEngine> engine) {
  if (idle_.size() >= kMaxIdle) idle_.erase(idle_.begin());
  idle_.push_back(std::move(engine));
}

std::unique_ptr<MediaDevice> MpvDevice::Open(const std::string& path, X11Connection* x11,
                                             const std::shared_ptr<MpvEnginePool>& pool, std::uint32_t& errorCode,
                                             NativeWindow display) {
  std::unique_ptr<MpvEngine> engine = pool->take(display != 0);
  if (!engine) {
    engine = MpvEngine::Create(x11, pool->poster_, pool->audio_, errorCode);
    if (!engine) return nullptr;
  }
  std::unique_ptr<MpvDevice> device(new MpvDevice(std::move(engine), pool, display));
  errorCode = device->loadFile(path);
  if (errorCode != media_errors::kSuccess) {
    // Whatever the instance was doing when the file failed (still loading
    // after the bound, or idle after an error) is not a state to start the
    // next file from.
    device->release(false);
    return nullptr;
  }
  return device;
}

MpvDevice::MpvDevice(std::unique_ptr<MpvEngine> engine, std::weak_ptr<MpvEnginePool> pool, NativeWindow display)
    : engine_(std::move(engine)),
      pool_(std::move(pool)),
      mpv_(engine_->handle()),
      window_(engine_->window()),
      display_(display) {
  engine_->setOwner(this);
}

MpvDevice::~MpvDevice() { release(loaded_ && !ended_); }

void MpvDevice::release(bool reusable) {
  if (!engine_) return;
  engine_->setOwner(nullptr);
  mpv_ = nullptr;
  window_ = nullptr;
  const std::shared_ptr<MpvEnginePool> pool = pool_.lock();
  if (pool && reusable && engine_->park()) {
    pool->give(std::move(engine_));
    return;
  }
  engine_.reset();
}

void MpvDevice::drainEvents() {
  if (mpv_ == nullptr) return;
  while (true) {
    const mpv_event* event = mpv_wait_event(mpv_, 0);
    if (event->event_id == MPV_EVENT_NONE) return;
    handle(*event);
  }
}

void MpvDevice::handle(const mpv_event& event) {
  engine_->note(event);
  switch (event.event_id) {
    case MPV_EVENT_START_FILE:
      if (static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id == entry_) started_ = true;
      break;
    // The previous file's events all come before this file's start.
    case MPV_EVENT_FILE_LOADED:
      if (started_) {
        loaded_ = true;
        placeEarly();
      }
      break;
    case MPV_EVENT_PLAYBACK_RESTART:
      if (started_) ++restarts_;
      break;
    case MPV_EVENT_END_FILE: {
      const auto* end = static_cast<const mpv_event_end_file*>(event.data);
      if (end->playlist_entry_id != entry_) break;
      ended_ = true;
      if (end->reason == MPV_END_FILE_REASON_ERROR) {
        endError_ = media_errors::FromMpvError(end->error);
      } else if (end->reason == MPV_END_FILE_REASON_REDIRECT) {
        // A playlist or reference file: its entries are not played.
        endError_ = media_errors::kPlaybackFailed;
        mpv_command_string(mpv_, "stop");
      } else if (!loaded_) {
        endError_ = media_errors::kPlaybackFailed;
      }
      break;
    }
    case MPV_EVENT_SHUTDOWN: ended_ = true; break;
    default: break;
  }
}

template <typename Done>
std::uint32_t MpvDevice::waitFor(Done done, Clock::time_point deadline) {
  while (true) {
    if (endError_ != 0) return endError_;
    if (done()) return media_errors::kSuccess;
    const auto left = std::chrono::duration<double>(deadline - Clock::now()).count();
    if (left <= 0) return media_errors::kOpenTimedOut;
    handle(*mpv_wait_event(mpv_, left));
  }
}

std::uint32_t MpvDevice::loadFile(const std::string& path) {
  // Replaces whatever file the instance played before.
  const char* command[] = {"loadfile", path.c_str(), nullptr};
  mpv_node reply;
  const int result = mpv_command_ret(mpv_, command, &reply);
  if (result < 0) return media_errors::FromMpvError(result);
  if (reply.format == MPV_FORMAT_NODE_MAP) {
    const mpv_node_list* fields = reply.u.list;
    for (int i = 0; i < fields->num; ++i) {
      if (std::string(fields->keys[i]) == "playlist_entry_id" && fields->values[i].format == MPV_FORMAT_INT64) {
        entry_ = fields->values[i].u.int64;
      }
    }
  }
  mpv_free_node_contents(&reply);
  if (entry_ < 0) return media_errors::kPlayerStartFailed;

  const auto deadline = Clock::now() + kLoadBound;
  // Loaded and the first frame (or the start of the sound) ready.
  std::uint32_t code = waitFor([this] { return loaded_ && restarts_ > 0; }, deadline);
  if (code != 0) return code;
  if (!engine_->followFiles()) return media_errors::kPlayerStartFailed;

  char* videoTrack = mpv_get_property_string(mpv_, "vid");
  hasVideo_ = videoTrack != nullptr && std::string(videoTrack) != "no";
  mpv_free(videoTrack);
  engine_->setShowsVideo(hasVideo_);
  if (!hasVideo_) return media_errors::kSuccess;

  // The display size is known once the video output has been configured
  // for the first frame; it takes the pixel aspect ratio into account.
  std::int64_t width = 0;
  std::int64_t height = 0;
  code = waitFor(
      [&] {
        return mpv_get_property(mpv_, "dwidth", MPV_FORMAT_INT64, &width) >= 0 &&
               mpv_get_property(mpv_, "dheight", MPV_FORMAT_INT64, &height) >= 0 && width > 0 && height > 0;
      },
      deadline);
  if (code != 0) return code;
  // A phone's video records how it is to be turned; the output turns the
  // picture while it draws, after the size above was taken, so a quarter
  // turn swaps the sides of what the user sees.
  std::int64_t rotation = 0;
  if (mpv_get_property(mpv_, "video-params/rotate", MPV_FORMAT_INT64, &rotation) >= 0 && rotation % 180 != 0) {
    std::swap(width, height);
  }
  source_ = TRect{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
  // The default placement: the frame's own size at the top-left corner.
  if (window_ && !window_->place(source_)) return media_errors::kDisplayWindowFailed;
  return media_errors::kSuccess;
}

void MpvDevice::placeEarly() {
  // An instance that has shown a picture before may still hold it and
  // would show it again for a moment; only a new one's window goes in
  // before the first frame. The size is the file header's: loadFile places
  // the window again by the frame itself.
  if (display_ == 0 || !window_ || engine_->hasShownVideo()) return;
  // Only into an output that runs already: moved while mpv is still making
  // its own window inside it, the window can end up showing nothing.
  if (!flag("vo-configured")) return;
  std::int64_t width = 0;
  std::int64_t height = 0;
  if (mpv_get_property(mpv_, "current-tracks/video/demux-w", MPV_FORMAT_INT64, &width) < 0 ||
      mpv_get_property(mpv_, "current-tracks/video/demux-h", MPV_FORMAT_INT64, &height) < 0 || width <= 0 ||
      height <= 0) {
    return;
  }
  // Stretched for non-square pixels and turned as loadFile does it.
  double pixelAspect = 1.0;
  if (mpv_get_property(mpv_, "current-tracks/video/demux-par", MPV_FORMAT_DOUBLE, &pixelAspect) >= 0 &&
      pixelAspect > 0) {
    if (pixelAspect > 1) width = std::llround(static_cast<double>(width) * pixelAspect);
    if (pixelAspect < 1) height = std::llround(static_cast<double>(height) / pixelAspect);
  }
  std::int64_t rotation = 0;
  if (mpv_get_property(mpv_, "current-tracks/video/demux-rotation", MPV_FORMAT_INT64, &rotation) >= 0 &&
      rotation % 180 != 0) {
    std::swap(width, height);
  }
  // Should this fail, setDisplayWindow fails too and says so.
  (void)window_->attach(display_, TRect{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)});
}

bool MpvDevice::flag(const char* property) const {
  int value = 0;
  return mpv_get_property(mpv_, property, MPV_FORMAT_FLAG, &value) >= 0 && value != 0;
}

std::uint32_t MpvDevice::setPause(bool pause) {
  int value = pause ? 1 : 0;
  return media_errors::FromMpvError(mpv_set_property(mpv_, "pause", MPV_FORMAT_FLAG, &value));
}

std::uint32_t MpvDevice::close() {
  release(loaded_ && !ended_);
  return media_errors::kSuccess;
}

std::uint32_t MpvDevice::play() {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  const std::uint32_t code = setPause(false);
  if (code == 0) stopped_ = false;
  return code;
}

std::uint32_t MpvDevice::stop() {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  const std::uint32_t code = setPause(true);
  if (code == 0) stopped_ = true;
  return code;
}

std::uint32_t MpvDevice::pause() {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  return setPause(true);
}

std::uint32_t MpvDevice::resume() {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  drainEvents();
  if (stopped_ || ended_ || flag("eof-reached") || !flag("pause")) return media_errors::kCannotResume;
  return setPause(false);
}

std::uint32_t MpvDevice::seekToStart() {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  drainEvents();
  const int restartsBefore = restarts_;
  const char* command[] = {"seek", "0", "absolute+exact", nullptr};
  const int result = mpv_command(mpv_, command);
  if (result < 0) return media_errors::FromMpvError(result);
  // The seek is done when playback has restarted at the new position; only
  // then does the end-of-file state clear.
  return waitFor([&] { return restarts_ > restartsBefore; }, Clock::now() + kSeekBound);
}

std::uint32_t MpvDevice::position(std::int64_t& milliseconds) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  drainEvents();
  // A file that has played out rests at its end: its position is its
  // length, although the last frame's time stamp lies a little before it.
  if (flag("eof-reached")) return length(milliseconds);
  double seconds = 0;
  const int result = mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &seconds);
  if (result < 0) return media_errors::FromMpvError(result);
  milliseconds = toMilliseconds(seconds);
  return media_errors::kSuccess;
}

std::uint32_t MpvDevice::length(std::int64_t& milliseconds) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  double seconds = 0;
  const int result = mpv_get_property(mpv_, "duration", MPV_FORMAT_DOUBLE, &seconds);
  if (result < 0) return media_errors::FromMpvError(result);
  milliseconds = toMilliseconds(seconds);
  return media_errors::kSuccess;
}

std::uint32_t MpvDevice::mode(TMPModes& mode) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  drainEvents();
  if (stopped_ || ended_ || flag("eof-reached") || flag("idle-active")) {
    mode = TMPModes::mpStopped;
  } else if (flag("pause")) {
    mode = TMPModes::mpPaused;
  } else {
    mode = TMPModes::mpPlaying;
  }
  return media_errors::kSuccess;
}

std::uint32_t MpvDevice::setDisplayWindow(NativeWindow window) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!window_) return media_errors::kNoDisplay;
  return window_->attach(window, source_) ? media_errors::kSuccess : media_errors::kDisplayWindowFailed;
}

std::uint32_t MpvDevice::setDestination(const TRect& rect) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!window_) return media_errors::kNoDisplay;
  return window_->place(rect) ? media_errors::kSuccess : media_errors::kDisplayWindowFailed;
}

std::uint32_t MpvDevice::destination(TRect& rect) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!window_) return media_errors::kNoDisplay;
  return window_->placement(rect) ? media_errors::kSuccess : media_errors::kDisplayWindowFailed;
}

}  // namespace quorrel
