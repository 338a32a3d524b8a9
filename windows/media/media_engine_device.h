#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "media/media_device.h"

struct IMFMediaEngine;
struct IMFMediaEngineNotify;

namespace quorrel::windows_desktop {

// What the Media Engine back end asks of the system: engines, and their
// frames as pixels. Tests put a fake engine in its place.
class MediaEngineSystem {
 public:
  virtual ~MediaEngineSystem() = default;
  // A new engine in frame-server mode that reports its events to `events`;
  // an HRESULT, and on success a reference the caller releases.
  [[nodiscard]] virtual HRESULT createEngine(IMFMediaEngineNotify* events, IMFMediaEngine** engine) = 0;
  // The engine's present frame at `width` by `height` pixels, as rows from
  // the top of 32-bit blue-green-red-unused pixels (what a top-down 32-bit
  // DIB holds).
  [[nodiscard]] virtual HRESULT copyFrame(IMFMediaEngine& engine, std::uint32_t width, std::uint32_t height,
                                          std::vector<std::uint32_t>& pixels) = 0;
};

// Makes the system's Media Engine ready, or says why it cannot be had: an
// HRESULT in `result` and nullptr (Windows 7 has no Media Engine; without
// a Direct3D 11 device it has nothing to hand frames over in).
using MediaEngineSystemOpener = std::function<std::unique_ptr<MediaEngineSystem>(HRESULT& result)>;

// Media Foundation's Media Engine with a Direct3D 11 device of its own.
[[nodiscard]] std::unique_ptr<MediaEngineSystem> OpenSystemMediaEngine(HRESULT& result);

// Plays through the Media Engine (Windows 8 and later): MP4 (H.264, AAC),
// and whatever else the system's Media Foundation opens. Only existing
// local files are opened, never a URL. Error codes are HRESULTs, which have
// their top bit set, so they never meet MCI's codes.
class MediaEngineBackend : public MediaBackend {
 public:
  // Whether the videos' own sound is off, for the open videos and the ones
  // opened later.
  virtual void setMuted(bool muted) = 0;
  // Whether the system has a Media Engine to play with (Windows 8 and
  // later, with a Direct3D 11 device); it is made ready if it was not.
  [[nodiscard]] virtual bool available() { return true; }
};

// The engine is made ready at the first open. `loadTimeout` bounds how long
// an open waits for the engine to read a file.
[[nodiscard]] std::unique_ptr<MediaEngineBackend> CreateMediaEngineBackend(
    MediaEngineSystemOpener opener = OpenSystemMediaEngine,
    std::chrono::milliseconds loadTimeout = std::chrono::seconds(10));

}  // namespace quorrel::windows_desktop
