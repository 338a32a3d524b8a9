#include "media/media_player.h"

#include <utility>

namespace quorrel {

namespace {

constexpr const char* kNoDeviceOpen = "No MCI device open";
constexpr const char* kUnknownErrorCode = "Unknown error code";
// Error texts have always come through a 4096-byte buffer; callers may show
// them in message boxes, so a runaway text is cut to that length.
constexpr std::size_t kMaxErrorTextLength = 4095;

}  // namespace

MediaPlayer::MediaPlayer(MediaBackend& backend, NativeWindow display, bool autoRewind)
    : backend_(backend), display_(display), autoRewind_(autoRewind) {}

MediaPlayer::~MediaPlayer() {
  // No playback may outlive its player. The result does not matter here:
  // destroying the device ends its playback whatever close reported.
  if (device_) (void)device_->close();
}

void MediaPlayer::requireOpen() const {
  if (!device_) throw MediaDeviceError(kNoDeviceOpen);
}

void MediaPlayer::open() {
  if (device_) close();

  std::uint32_t code = 0;
  std::unique_ptr<MediaDevice> opened = backend_.open(fileName_, display_, code);
  errorCode_ = code;
  if (!opened) throw MediaDeviceError(errorMessage());

  // A device that a failed close left open is replaced; destroying it ends
  // its playback, so nothing keeps playing unseen.
  device_ = std::move(opened);
  hasVideo_ = device_->hasVideo();
  const Rect source = device_->sourceRect();
  naturalSize_ = Rect{0, 0, source.width, source.height};

  if (hasVideo_) {
    if (display_ != 0) {
      errorCode_ = device_->setDisplayWindow(display_);
      if (errorCode_ != 0) display_ = 0;
    }
    // The device's default placement is the frame's own size in the display
    // window's corner; the natural size is what that placement measures.
    const Rect placed = displayRect(naturalSize_);
    naturalSize_ = Rect{0, 0, placed.width, placed.height};
  }
  (void)mode();
}

void MediaPlayer::close() {
  if (!device_) return;
  errorCode_ = device_->close();
  if (errorCode_ == 0) {
    device_.reset();
    hasVideo_ = false;
  }
}

void MediaPlayer::play() {
  requireOpen();
  if (autoRewind_) {
    std::int64_t position = 0;
    std::int64_t length = 0;
    if (device_->position(position) == 0 && device_->length(length) == 0 && position == length) {
      (void)device_->seekToStart();
    }
  }
  errorCode_ = device_->play();
}

void MediaPlayer::stop() {
  requireOpen();
  errorCode_ = device_->stop();
}

void MediaPlayer::pause() {
  requireOpen();
  if (mode() == PlayerMode::Playing) {
    errorCode_ = device_->pause();
  } else if (mode() == PlayerMode::Paused) {
    resume();
  }
}

void MediaPlayer::resume() {
  requireOpen();
  errorCode_ = device_->resume();
  // A device that cannot resume is played instead.
  if (errorCode_ != 0) play();
}

void MediaPlayer::setDisplayRect(const Rect& rect) {
  if (!device_ || !hasVideo_) return;
  Rect destination = rect;
  if (destination.width == 0 && destination.height == 0) {
    destination.width = naturalSize_.width;
    destination.height = naturalSize_.height;
  }
  errorCode_ = device_->setDestination(destination);
}

Rect MediaPlayer::displayRect(const Rect& callersRect) {
  if (!device_ || !hasVideo_) return callersRect;
  Rect placed = callersRect;
  errorCode_ = device_->destination(placed);
  // A failed query tells the caller nothing new; the error code says why.
  return errorCode_ == 0 ? placed : callersRect;
}

PlayerMode MediaPlayer::mode() {
  if (!device_) {
    errorCode_ = backend_.noDeviceCode();
    return PlayerMode::NotReady;
  }
  PlayerMode current = PlayerMode::NotReady;
  errorCode_ = device_->mode(current);
  return errorCode_ == 0 ? current : PlayerMode::NotReady;
}

std::string MediaPlayer::errorMessage() const {
  std::string text = backend_.errorText(errorCode_);
  if (text.empty()) return kUnknownErrorCode;
  if (text.size() > kMaxErrorTextLength) text.resize(kMaxErrorTextLength);
  return text;
}

}  // namespace quorrel
