#include "linux/media/mpv_engine.h"

#include <mpv/client.h>

#include <chrono>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

#include "linux/media/media_errors.h"
#include "linux/media/mpv_device.h"

namespace quorrel::linux_desktop {

namespace {

using Clock = std::chrono::steady_clock;

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
    // The graphics card decodes where mpv knows its decoder to work well
    // (its own list of safe ones), which saves most of a show's processor
    // time; everything else, and every machine without one, decodes in
    // software as before.
    {"hwdec", "auto-safe"},
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

}  // namespace

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
  const int widResult =
      engine->window_ ? mpv_set_option_string(mpv, "wid", wid.c_str()) : mpv_set_option_string(mpv, "vo", "null");
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

bool MpvEngine::silence() { return mpv_set_property_string(mpv_, "aid", "no") >= 0; }

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

void MpvEngine::showPart(const Rect& whole, const Rect& shown, bool quarterTurned) {
  const bool part = !whole.empty() && !shown.empty() && !(whole == shown);
  if (!part) {
    showWhole();
    return;
  }
  // With its shape kept, mpv fits the picture into the window, centres it
  // and then zooms it by 2 to the power of video-zoom and moves it by
  // video-pan times its size. The shape is the whole's, so the fitted
  // picture grows to the whole's size exactly, and the pan moves its
  // corner to the whole's corner.
  const double wholeWidth = whole.width;
  const double wholeHeight = whole.height;
  const double aspect = wholeWidth / wholeHeight;
  double fittedWidth = shown.width;
  if (fittedWidth / aspect > shown.height) fittedWidth = shown.height * aspect;
  const double zoom = std::log2(wholeWidth / fittedWidth);
  const double panX = ((whole.left - shown.left) - (shown.width - wholeWidth) / 2) / wholeWidth;
  const double panY = ((whole.top - shown.top) - (shown.height - wholeHeight) / 2) / wholeHeight;
  // mpv takes the shape before it turns the picture.
  double pictureAspect = quarterTurned ? 1 / aspect : aspect;
  (void)mpv_set_property_string(mpv_, "keepaspect", "yes");
  (void)mpv_set_property(mpv_, "video-aspect-override", MPV_FORMAT_DOUBLE, &pictureAspect);
  double value = zoom;
  (void)mpv_set_property(mpv_, "video-zoom", MPV_FORMAT_DOUBLE, &value);
  value = panX;
  (void)mpv_set_property(mpv_, "video-pan-x", MPV_FORMAT_DOUBLE, &value);
  value = panY;
  (void)mpv_set_property(mpv_, "video-pan-y", MPV_FORMAT_DOUBLE, &value);
  showingPart_ = true;
}

void MpvEngine::showWhole() {
  if (!showingPart_) return;
  // Stretched over the window again, as the output is set up to draw.
  for (const auto& [name, value] :
       {std::pair{"video-zoom", "0"}, std::pair{"video-pan-x", "0"}, std::pair{"video-pan-y", "0"},
        std::pair{"video-aspect-override", "-1"}, std::pair{"keepaspect", "no"}}) {
    (void)mpv_set_property_string(mpv_, name, value);
  }
  showingPart_ = false;
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
    // It may start before the caller knows whether it is heard (see
    // take), so it starts as one that is.
    prepared_ = std::async(std::launch::async, [x11, poster = poster_] {
      std::uint32_t errorCode = 0;
      return MpvEngine::Create(x11, poster, MediaAudio::On, errorCode, true);
    });
  } catch (const std::system_error&) {
    // Without a thread to spare, the first video starts its own instance.
  }
}

std::unique_ptr<MpvEngine> MpvEnginePool::take(bool forDisplay) {
  if (forDisplay && prepared_.valid()) {
    // An instance that failed to start is no loss: a fresh one is tried,
    // and its failure is reported.
    std::unique_ptr<MpvEngine> engine = prepared_.get();
    if (engine && (audio_ == MediaAudio::On || engine->silence())) {
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

}  // namespace quorrel::linux_desktop
