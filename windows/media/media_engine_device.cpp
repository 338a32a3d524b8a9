#include "windows/media/media_engine_device.h"

#include <windows.h>
// After windows.h, which these need.
#include <mferror.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "windows/media/media_engine_events.h"
#include "windows/media/media_engine_interfaces.h"
#include "windows/media/media_foundation_files.h"
#include "windows/media/video_frame_window.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

using Microsoft::WRL::ComPtr;

// How long an open waits, after the engine has read a file's streams, for
// the first frame or for the engine to find that it cannot decode them.
constexpr std::chrono::milliseconds kDecodeGrace{1000};

class MediaEngineDevice;

class EngineBackend final : public MediaEngineBackend {
 public:
  EngineBackend(MediaEngineSystemOpener opener, std::chrono::milliseconds loadTimeout)
      : opener_(std::move(opener)), loadTimeout_(loadTimeout) {}

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow display,
                                    std::uint32_t& errorCode) override;
  // Media Foundation and the Direct3D device take a few hundred
  // milliseconds to start, in which the thread answers nothing.
  void prepareVideo() override {
    HRESULT result = S_OK;
    (void)system(result);
  }
  std::uint32_t noDeviceCode() const override { return static_cast<std::uint32_t>(MF_E_NOT_INITIALIZED); }
  std::string errorText(std::uint32_t code) const override;
  void setMuted(bool muted) override;
  bool available() override {
    HRESULT result = S_OK;
    return system(result) != nullptr;
  }

  void forget(MediaEngineDevice* device) {
    devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
  }

 private:
  MediaEngineSystem* system(HRESULT& result) {
    if (!opened_) {
      opened_ = true;
      system_ = opener_(openResult_);
    }
    result = openResult_;
    return system_.get();
  }

  MediaEngineSystemOpener opener_;
  std::chrono::milliseconds loadTimeout_;
  bool opened_ = false;
  HRESULT openResult_ = S_OK;
  std::unique_ptr<MediaEngineSystem> system_;
  bool muted_ = false;
  std::vector<MediaEngineDevice*> devices_;
};

// One file, played by one engine at a time. Every member function runs on
// the user-interface thread; only the engine's events arrive elsewhere.
class MediaEngineDevice final : public MediaDevice {
 public:
  MediaEngineDevice(EngineBackend& backend, MediaEngineSystem& system, std::wstring path,
                    std::chrono::milliseconds loadTimeout, bool muted)
      : backend_(backend), system_(system), path_(std::move(path)), loadTimeout_(loadTimeout), muted_(muted) {}

  ~MediaEngineDevice() override {
    (void)close();
    backend_.forget(this);
  }
  MediaEngineDevice(const MediaEngineDevice&) = delete;
  MediaEngineDevice& operator=(const MediaEngineDevice&) = delete;

  // Gives the file to a new engine and waits until it has read it: until
  // the engine knows the file's streams, size and length, nothing about it
  // can be answered, so the wait is part of the open. On failure no engine
  // is left.
  HRESULT start() {
    ComPtr<EngineEvents> events;
    events.Attach(new (std::nothrow) EngineEvents);
    if (!events) return E_OUTOFMEMORY;
    ComPtr<IMFMediaEngine> engine;
    HRESULT result = system_.createEngine(events.Get(), &engine);
    if (FAILED(result)) return result;
    engine_ = engine;
    events_ = events;
    lastPresentationTime_.reset();
    applyMute();
    // Asked to load all it needs, the engine decodes the first frame
    // before it is played, which shows a file it cannot decode at once.
    (void)engine_->SetPreload(kMediaEnginePreloadAutomatic);
    BSTR url = ::SysAllocString(path_.c_str());
    result = url != nullptr ? engine_->SetSource(url) : E_OUTOFMEMORY;
    ::SysFreeString(url);
    if (SUCCEEDED(result)) result = events_->waitForLoad(loadTimeout_, kDecodeGrace);
    if (FAILED(result)) {
      shutDownEngine();
      return result;
    }
    hasVideo_ = engine_->HasVideo() != FALSE;
    DWORD width = 0;
    DWORD height = 0;
    if (hasVideo_ && SUCCEEDED(engine_->GetNativeVideoSize(&width, &height))) {
      source_ = Rect{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    }
    if (destination_.width == 0 && destination_.height == 0) destination_ = source_;
    state_ = PlayerMode::Stopped;
    return S_OK;
  }

  void setMuted(bool muted) {
    muted_ = muted;
    if (engine_) applyMute();
  }

  bool hasVideo() const override { return hasVideo_; }
  Rect sourceRect() const override { return hasVideo_ ? source_ : Rect{}; }
  // The engine is free-threaded, and its frame window goes by a message to
  // its own thread.
  bool closesOnAnyThread() const override { return true; }

  std::uint32_t close() override {
    frames_.reset();
    return code(shutDownEngine());
  }

  std::uint32_t play() override { return command(&IMFMediaEngine::Play, PlayerMode::Playing); }
  std::uint32_t resume() override { return command(&IMFMediaEngine::Play, PlayerMode::Playing); }
  std::uint32_t pause() override { return command(&IMFMediaEngine::Pause, PlayerMode::Paused); }
  // The engine has no stop of its own: it holds where it is, as a stopped
  // MCI device does, and the next play goes on from there.
  std::uint32_t stop() override { return command(&IMFMediaEngine::Pause, PlayerMode::Stopped); }

  std::uint32_t seekToStart() override {
    if (!engine_) return code(MF_E_SHUTDOWN);
    if (SUCCEEDED(engine_->SetCurrentTime(0.0))) {
      state_ = PlayerMode::Stopped;
      return 0;
    }
    // Wine's engine can neither seek nor read its file again once it has
    // played it to the end; a new engine reads it from its beginning.
    (void)shutDownEngine();
    return code(start());
  }

  std::uint32_t position(std::int64_t& milliseconds) override {
    if (!engine_) return code(MF_E_SHUTDOWN);
    // A finished file stands at its end, where the player's auto-rewind
    // looks for it; the engine's clock may stop a little short of it.
    if (engine_->IsEnded()) return length(milliseconds);
    milliseconds = toMilliseconds(engine_->GetCurrentTime());
    return 0;
  }

  std::uint32_t length(std::int64_t& milliseconds) override {
    if (!engine_) return code(MF_E_SHUTDOWN);
    milliseconds = toMilliseconds(engine_->GetDuration());
    return 0;
  }

  std::uint32_t mode(PlayerMode& mode) override {
    // A file that has played to its end, or that the engine gave up on,
    // reads as stopped, so that the show moves on.
    mode = !engine_ || engine_->IsEnded() || events_->failed() ? PlayerMode::Stopped : state_;
    return 0;
  }

  std::uint32_t setDisplayWindow(NativeWindow window) override {
    frames_.reset();
    frames_ = std::make_unique<VideoFrameWindow>(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)),
                                                 destination_, [this] { drawNewFrame(); });
    if (frames_->hwnd() != nullptr) return 0;
    const DWORD error = ::GetLastError();
    frames_.reset();
    return code(HRESULT_FROM_WIN32(error != 0 ? error : ERROR_INVALID_WINDOW_HANDLE));
  }

  std::uint32_t setDestination(const Rect& rect) override {
    destination_ = rect;
    if (frames_) frames_->place(rect);
    return 0;
  }

  std::uint32_t destination(Rect& rect) override {
    rect = destination_;
    return 0;
  }

 private:
  static std::uint32_t code(HRESULT result) { return SUCCEEDED(result) ? 0 : static_cast<std::uint32_t>(result); }

  static std::int64_t toMilliseconds(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? std::llround(seconds * 1000.0) : 0;
  }

  std::uint32_t command(HRESULT (STDMETHODCALLTYPE IMFMediaEngine::*call)(), PlayerMode next) {
    if (!engine_) return code(MF_E_SHUTDOWN);
    const HRESULT result = (engine_.Get()->*call)();
    if (SUCCEEDED(result)) state_ = next;
    return code(result);
  }

  HRESULT shutDownEngine() {
    if (!engine_) return S_OK;
    const HRESULT result = engine_->Shutdown();
    engine_.Reset();
    events_.Reset();
    return result;
  }

  // Muting sets both the engine's mute and its volume: Wine's engine
  // accepts SetMuted without muting anything, while its volume works;
  // on Windows either alone would do.
  void applyMute() {
    (void)engine_->SetMuted(muted_ ? TRUE : FALSE);
    (void)engine_->SetVolume(muted_ ? 0.0 : 1.0);
  }

  // On every tick of the frame window's timer: the engine says whether it
  // has a frame for now and which, and only a frame not yet drawn is
  // fetched and drawn.
  void drawNewFrame() {
    if (!engine_ || !frames_) return;
    LONGLONG presentationTime = 0;
    if (engine_->OnVideoStreamTick(&presentationTime) != S_OK) return;
    if (lastPresentationTime_ && *lastPresentationTime_ == presentationTime) return;
    DWORD width = 0;
    DWORD height = 0;
    if (FAILED(engine_->GetNativeVideoSize(&width, &height)) || width == 0 || height == 0) return;
    if (FAILED(system_.copyFrame(*engine_.Get(), width, height, pixels_))) return;
    lastPresentationTime_ = presentationTime;
    frames_->show(width, height, pixels_);
  }

  EngineBackend& backend_;
  MediaEngineSystem& system_;
  std::wstring path_;
  std::chrono::milliseconds loadTimeout_;
  bool muted_;
  ComPtr<IMFMediaEngine> engine_;
  ComPtr<EngineEvents> events_;
  bool hasVideo_ = false;
  Rect source_;
  Rect destination_;
  PlayerMode state_ = PlayerMode::NotReady;
  std::unique_ptr<VideoFrameWindow> frames_;
  std::optional<LONGLONG> lastPresentationTime_;
  std::vector<std::uint32_t> pixels_;
};

std::unique_ptr<MediaDevice> EngineBackend::open(const std::string& fileName, NativeWindow /*display*/,
                                                 std::uint32_t& errorCode) {
  auto fail = [&errorCode](HRESULT result) -> std::unique_ptr<MediaDevice> {
    errorCode = static_cast<std::uint32_t>(result);
    return nullptr;
  };
  std::wstring path = Widen(fileName);
  if (!IsExistingFile(path)) return fail(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  HRESULT result = S_OK;
  MediaEngineSystem* engines = system(result);
  if (engines == nullptr) return fail(FAILED(result) ? result : E_FAIL);
  auto device = std::make_unique<MediaEngineDevice>(*this, *engines, std::move(path), loadTimeout_, muted_);
  if (FAILED(result = device->start())) return fail(result);
  devices_.push_back(device.get());
  errorCode = 0;
  return device;
}

std::string EngineBackend::errorText(std::uint32_t code) const { return HresultText(code); }

void EngineBackend::setMuted(bool muted) {
  muted_ = muted;
  for (MediaEngineDevice* device : devices_) device->setMuted(muted);
}

}  // namespace

std::unique_ptr<MediaEngineBackend> CreateMediaEngineBackend(MediaEngineSystemOpener opener,
                                                             std::chrono::milliseconds loadTimeout) {
  return std::make_unique<EngineBackend>(std::move(opener), loadTimeout);
}

}  // namespace quorrel::windows_desktop
