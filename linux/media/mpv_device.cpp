#include "linux/media/mpv_device.h"

#include <malloc.h>
#include <mpv/client.h>

#include <cmath>
#include <string>
#include <utility>

#include "linux/media/media_errors.h"

namespace quorrel::linux_desktop {

namespace {

using Clock = std::chrono::steady_clock;

// Loading reads the file's headers and decodes its first frame; a file that
// takes longer than this is treated as one that cannot be played, so that a
// damaged file cannot freeze the caller.
constexpr auto kLoadBound = std::chrono::seconds(10);
constexpr auto kSeekBound = std::chrono::seconds(3);

std::int64_t toMilliseconds(double seconds) { return std::llround(seconds * 1000.0); }

// A show runs all night, one file after another, each decoded on mpv's
// threads, whose allocations spread over several of the C library's
// arenas. What a closed file (or a player ended with its monitor) freed
// stays mapped in those arenas, and resident memory climbed with every
// file and every monitor plugged in. Handing the free pages back to the
// system as each file closes keeps it near what is in use; it walks the
// arenas' free lists, a few milliseconds between two videos.
void ReturnFreedMemory() { ::malloc_trim(0); }

}  // namespace

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
  } else {
    engine_.reset();
  }
  ReturnFreedMemory();
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
    case MPV_EVENT_SHUTDOWN:
      ended_ = true;
      break;
    default:
      break;
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
  // A file starts from the whole picture, whatever part of the last file's
  // picture the instance was showing: the display size read below depends
  // on it.
  engine_->showWhole();
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
  if (quarterTurned("video-params/rotate")) std::swap(width, height);
  source_ = Rect{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
  // The default placement: the frame's own size at the top-left corner.
  return window_ ? placeWindow(source_) : media_errors::kSuccess;
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
  if (quarterTurned("current-tracks/video/demux-rotation")) std::swap(width, height);
  // Should this fail, setDisplayWindow fails too and says so.
  if (window_->attach(display_, Rect{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)})) {
    fitPicture();
  }
}

bool MpvDevice::quarterTurned(const char* property) const {
  std::int64_t degrees = 0;
  return mpv_get_property(mpv_, property, MPV_FORMAT_INT64, &degrees) >= 0 && degrees % 180 != 0;
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

std::uint32_t MpvDevice::mode(PlayerMode& mode) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  drainEvents();
  if (stopped_ || ended_ || flag("eof-reached") || flag("idle-active")) {
    mode = PlayerMode::Stopped;
  } else if (flag("pause")) {
    mode = PlayerMode::Paused;
  } else {
    mode = PlayerMode::Playing;
  }
  return media_errors::kSuccess;
}

std::string MpvDevice::videoDecoder() const {
  if (mpv_ == nullptr || !hasVideo_) return {};
  char* decoder = mpv_get_property_string(mpv_, "hwdec-current");
  std::string name = decoder != nullptr ? decoder : "";
  mpv_free(decoder);
  return name;
}

std::uint32_t MpvDevice::setDisplayWindow(NativeWindow window) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!window_) return media_errors::kNoDisplay;
  if (!window_->attach(window, source_)) return media_errors::kDisplayWindowFailed;
  fitPicture();
  return media_errors::kSuccess;
}

std::uint32_t MpvDevice::setDestination(const Rect& rect) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!window_) return media_errors::kNoDisplay;
  return placeWindow(rect);
}

std::uint32_t MpvDevice::placeWindow(const Rect& placement) {
  if (!window_->place(placement)) return media_errors::kDisplayWindowFailed;
  fitPicture();
  return media_errors::kSuccess;
}

void MpvDevice::fitPicture() {
  Rect whole;
  if (!window_->placement(whole)) return;
  engine_->showPart(whole, window_->shown(), quarterTurned("video-params/rotate"));
}

std::uint32_t MpvDevice::destination(Rect& rect) {
  if (mpv_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!window_) return media_errors::kNoDisplay;
  return window_->placement(rect) ? media_errors::kSuccess : media_errors::kDisplayWindowFailed;
}

}  // namespace quorrel::linux_desktop
