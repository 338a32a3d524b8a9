#include "windows/media/media_engine_device.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mferror.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "media/media_player.h"
#include "tests/support/process.h"
#include "tests/windows/media/video_test_window.h"
#include "windows/media/media_engine_interfaces.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {
namespace {

using namespace std::chrono_literals;
using test::PumpUntil;
using test::VideoTestWindow;

// Answers as the Media Engine does, from its events on another thread to
// its clock, and records what it is told. Methods the back end never calls
// fail.
class FakeEngine final : public IMFMediaEngine {
 public:
  // Set by the test.
  HRESULT loadError = S_OK;    // the error event's cause, or S_OK for the file's streams
  HRESULT decodeError = S_OK;  // an error after the streams were read, or S_OK for the first frame
  bool answerLoads = true;
  bool decodesBeforePlay = true;
  bool video = true;
  DWORD width = 320;
  DWORD height = 240;
  double duration = 4.0;
  double now = 0.0;
  bool ended = false;
  HRESULT seekResult = S_OK;
  HRESULT tickResult = S_FALSE;
  LONGLONG tickTime = 0;

  // Recorded.
  IMFMediaEngineNotify* events = nullptr;
  std::vector<std::wstring> sources;
  std::optional<MediaEnginePreload> preload;
  int plays = 0;
  int pauses = 0;
  std::vector<double> seeks;
  std::vector<BOOL> mutes;
  std::vector<double> volumes;
  int shutdowns = 0;
  int ticks = 0;

  ~FakeEngine() { joinEvents(); }

  // Delivers an event the way the engine does, from a thread of its own,
  // to the callback of the moment.
  void notify(DWORD event, DWORD_PTR param1, DWORD param2) {
    IMFMediaEngineNotify* target = events;
    target->AddRef();
    eventThreads_.emplace_back([target, event, param1, param2] {
      target->EventNotify(event, param1, param2);
      target->Release();
    });
  }
  void joinEvents() {
    for (std::thread& t : eventThreads_) t.join();
    eventThreads_.clear();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE SetSource(BSTR url) override {
    sources.emplace_back(url);
    ended = false;
    now = 0.0;
    if (!answerLoads) return S_OK;
    if (FAILED(loadError)) {
      notify(kMediaEngineEventError, kMediaEngineSourceNotSupported, static_cast<DWORD>(loadError));
      return S_OK;
    }
    notify(kMediaEngineEventLoadedMetadata, 0, 0);
    if (FAILED(decodeError)) {
      notify(kMediaEngineEventError, kMediaEngineDecode, static_cast<DWORD>(decodeError));
    } else if (decodesBeforePlay) {
      notify(kMediaEngineEventLoadedData, 0, 0);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetPreload(MediaEnginePreload value) override {
    preload = value;
    return S_OK;
  }
  double STDMETHODCALLTYPE GetCurrentTime() override { return now; }
  HRESULT STDMETHODCALLTYPE SetCurrentTime(double time) override {
    seeks.push_back(time);
    if (SUCCEEDED(seekResult)) {
      now = time;
      ended = false;
    }
    return seekResult;
  }
  double STDMETHODCALLTYPE GetDuration() override { return duration; }
  BOOL STDMETHODCALLTYPE IsEnded() override { return ended; }
  HRESULT STDMETHODCALLTYPE Play() override {
    ++plays;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Pause() override {
    ++pauses;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMuted(BOOL muted) override {
    mutes.push_back(muted);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetVolume(double volume) override {
    volumes.push_back(volume);
    return S_OK;
  }
  BOOL STDMETHODCALLTYPE HasVideo() override { return video; }
  HRESULT STDMETHODCALLTYPE GetNativeVideoSize(DWORD* x, DWORD* y) override {
    if (!video) return E_FAIL;
    *x = width;
    *y = height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Shutdown() override {
    ++shutdowns;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnVideoStreamTick(LONGLONG* time) override {
    ++ticks;
    *time = tickTime;
    return tickResult;
  }

  HRESULT STDMETHODCALLTYPE GetError(IMFMediaError**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetErrorCode(MediaEngineError) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSourceElements(IMFMediaEngineSrcElements*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentSource(BSTR*) override { return E_NOTIMPL; }
  USHORT STDMETHODCALLTYPE GetNetworkState() override { return 0; }
  MediaEnginePreload STDMETHODCALLTYPE GetPreload() override { return MediaEnginePreload{}; }
  HRESULT STDMETHODCALLTYPE GetBuffered(IMFMediaTimeRange**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Load() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanPlayType(BSTR, MediaEngineCanPlay*) override { return E_NOTIMPL; }
  USHORT STDMETHODCALLTYPE GetReadyState() override { return 0; }
  BOOL STDMETHODCALLTYPE IsSeeking() override { return FALSE; }
  double STDMETHODCALLTYPE GetStartTime() override { return 0; }
  BOOL STDMETHODCALLTYPE IsPaused() override { return FALSE; }
  double STDMETHODCALLTYPE GetDefaultPlaybackRate() override { return 1; }
  HRESULT STDMETHODCALLTYPE SetDefaultPlaybackRate(double) override { return E_NOTIMPL; }
  double STDMETHODCALLTYPE GetPlaybackRate() override { return 1; }
  HRESULT STDMETHODCALLTYPE SetPlaybackRate(double) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPlayed(IMFMediaTimeRange**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSeekable(IMFMediaTimeRange**) override { return E_NOTIMPL; }
  BOOL STDMETHODCALLTYPE GetAutoPlay() override { return FALSE; }
  HRESULT STDMETHODCALLTYPE SetAutoPlay(BOOL) override { return E_NOTIMPL; }
  BOOL STDMETHODCALLTYPE GetLoop() override { return FALSE; }
  HRESULT STDMETHODCALLTYPE SetLoop(BOOL) override { return E_NOTIMPL; }
  BOOL STDMETHODCALLTYPE GetMuted() override { return FALSE; }
  double STDMETHODCALLTYPE GetVolume() override { return 1; }
  BOOL STDMETHODCALLTYPE HasAudio() override { return TRUE; }
  HRESULT STDMETHODCALLTYPE GetVideoAspectRatio(DWORD*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TransferVideoFrame(IUnknown*, const MediaEngineNormalizedRect*, const RECT*,
                                               const MFARGB*) override {
    return E_NOTIMPL;
  }

 private:
  std::vector<std::thread> eventThreads_;
};

// Hands out the test's engine and paints every frame it is asked for in
// one colour.
class FakeSystem final : public MediaEngineSystem {
 public:
  explicit FakeSystem(FakeEngine& engine) : engine_(engine) {}
  HRESULT createEngine(IMFMediaEngineNotify* events, IMFMediaEngine** engine) override {
    ++engines;
    events->AddRef();
    if (engine_.events != nullptr) engine_.events->Release();
    engine_.events = events;
    *engine = &engine_;
    return S_OK;
  }
  HRESULT copyFrame(IMFMediaEngine&, std::uint32_t width, std::uint32_t height,
                    std::vector<std::uint32_t>& pixels) override {
    ++copies;
    pixels.assign(static_cast<std::size_t>(width) * height, 0x0000c000);  // green, as BGRX
    return S_OK;
  }
  int engines = 0;
  int copies = 0;

 private:
  FakeEngine& engine_;
};

// A fresh engine, its system, and a back end over them; the file the test
// opens exists, as the back end opens nothing else.
struct EngineFixture {
  FakeEngine engine;
  int opened = 0;
  FakeSystem* system = nullptr;
  HRESULT openResult = S_OK;
  std::unique_ptr<MediaEngineBackend> backend;
  quorrel::test::TempDir dir;
  std::string clip = dir.file("clip.mp4");

  explicit EngineFixture(std::chrono::milliseconds loadTimeout = 10s) {
    quorrel::test::WriteFile(clip, "not read by the fake engine");
    backend = CreateMediaEngineBackend(
        [this](HRESULT& result) -> std::unique_ptr<MediaEngineSystem> {
          ++opened;
          result = openResult;
          if (FAILED(openResult)) return nullptr;
          auto made = std::make_unique<FakeSystem>(engine);
          system = made.get();
          return made;
        },
        loadTimeout);
  }
  ~EngineFixture() {
    backend.reset();
    engine.joinEvents();
    if (engine.events != nullptr) engine.events->Release();
  }
};

TEST(MediaEngineDevice, opensALocalFileOnceTheEngineHasReadItAndDrawsIntoAChildOfTheDisplayWindow) {
  VideoTestWindow window;
  EngineFixture f;
  MediaPlayer player(*f.backend, reinterpret_cast<NativeWindow>(window.panel()), true);
  player.setFileName(f.clip);
  player.open();
  ASSERT_EQ(f.engine.sources.size(), 1u);
  EXPECT_EQ(f.engine.sources[0], Widen(f.clip)) << "the path as it is, not a URL made of it";
  EXPECT_EQ(f.engine.preload, std::optional(kMediaEnginePreloadAutomatic)) << "asked before the file";
  EXPECT_EQ(player.naturalSize(), (Rect{0, 0, 320, 240}));
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  EXPECT_EQ(player.error(), 0u);
  // The default placement is the frame's own size in the window's corner.
  ASSERT_NE(window.frameWindow(), nullptr);
  RECT place = window.framePlace();
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.top, 0);
  EXPECT_EQ(place.right, 320);
  EXPECT_EQ(place.bottom, 240);
  player.setDisplayRect(Rect{0, 0, 600, 440});
  place = window.framePlace();
  EXPECT_EQ(place.right, 600);
  EXPECT_EQ(place.bottom, 440);
  EXPECT_EQ(player.displayRect(Rect{}), (Rect{0, 0, 600, 440}));
  player.close();
  EXPECT_FALSE(player.isOpen());
  EXPECT_EQ(f.engine.shutdowns, 1);
  EXPECT_EQ(window.frameWindow(), nullptr) << "the frame window goes with the file";
}

TEST(MediaEngineDevice, playPauseStopAndTheEndReadAsTheModesMciGives) {
  EngineFixture f;
  MediaPlayer player(*f.backend, 0, true);
  player.setFileName(f.clip);
  player.open();
  player.play();
  EXPECT_EQ(f.engine.plays, 1);
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.pause();
  EXPECT_EQ(f.engine.pauses, 1);
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  player.pause();  // the toggle resumes
  EXPECT_EQ(f.engine.plays, 2);
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  player.stop();
  EXPECT_EQ(f.engine.pauses, 2) << "the engine holds where it is";
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  player.pause();
  EXPECT_EQ(f.engine.pauses, 2) << "pause on a stopped file does nothing";
  player.play();
  f.engine.now = 3.99;
  f.engine.ended = true;
  EXPECT_EQ(player.mode(), PlayerMode::Stopped) << "a file played to its end reads as stopped";
  // A failure the engine reports while playing ends the file too.
  f.engine.ended = false;
  f.engine.notify(kMediaEngineEventError, kMediaEngineDecode, static_cast<DWORD>(MF_E_INVALID_FORMAT));
  EXPECT_TRUE(quorrel::test::WaitUntil([&] { return player.mode() == PlayerMode::Stopped; }, 5s));
}

TEST(MediaEngineDevice, playAtTheEndStartsAgainBySeekingOrWhereTheEngineCannotSeekByReadingTheFileAgain) {
  EngineFixture f;
  MediaPlayer player(*f.backend, 0, true);
  player.setFileName(f.clip);
  player.open();
  player.play();
  f.engine.now = 3.98;  // the engine's clock may stop short of the length
  f.engine.ended = true;
  player.play();
  ASSERT_EQ(f.engine.seeks.size(), 1u);
  EXPECT_EQ(f.engine.seeks[0], 0.0);
  EXPECT_EQ(f.engine.sources.size(), 1u) << "a working seek needs no reload";
  EXPECT_EQ(player.mode(), PlayerMode::Playing);

  f.engine.seekResult = E_NOTIMPL;  // as Wine's engine answers
  f.engine.ended = true;
  player.play();
  EXPECT_EQ(f.engine.sources.size(), 2u) << "the file is read again";
  EXPECT_EQ(f.engine.plays, 3);
  EXPECT_EQ(player.mode(), PlayerMode::Playing);

  // Not at the end: play goes on from where the file stands.
  player.stop();
  f.engine.now = 1.5;
  player.play();
  EXPECT_EQ(f.engine.seeks.size(), 2u);
  EXPECT_EQ(f.engine.sources.size(), 2u);
}

TEST(MediaEngineDevice, filesTheEngineCannotReadFailWithItsCodeAndOnlyExistingLocalFilesReachIt) {
  EngineFixture f(200ms);
  MediaPlayer player(*f.backend, 0, true);
  f.engine.loadError = MF_E_UNSUPPORTED_BYTESTREAM_TYPE;
  player.setFileName(f.clip);
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_EQ(player.error(), static_cast<std::uint32_t>(MF_E_UNSUPPORTED_BYTESTREAM_TYPE));
  EXPECT_EQ(f.engine.shutdowns, 1) << "the engine that failed is shut down";
  EXPECT_FALSE(player.isOpen());

  // Streams the engine can read but not decode (a Video for Windows codec
  // in an AVI) fail the open too, so that MCI gets the file.
  f.engine.loadError = S_OK;
  f.engine.decodeError = MF_E_TOPO_CODEC_NOT_FOUND;
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_EQ(player.error(), static_cast<std::uint32_t>(MF_E_TOPO_CODEC_NOT_FOUND));
  EXPECT_EQ(f.engine.shutdowns, 2);

  // An engine that never answers is given up after the load time-out.
  f.engine.decodeError = S_OK;
  f.engine.answerLoads = false;
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_EQ(player.error(), static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_TIMEOUT)));
  EXPECT_EQ(f.engine.shutdowns, 3);

  const int engines = f.system->engines;
  for (const std::string& name : {f.dir.file("missing.mp4"), std::string("http://example.com/clip.mp4"),
                                  f.dir.path(), std::string()}) {
    player.setFileName(name);
    EXPECT_THROW(player.open(), MediaDeviceError) << name;
    EXPECT_EQ(player.error(), static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))) << name;
  }
  EXPECT_EQ(f.system->engines, engines) << "no engine was made for them";
  EXPECT_FALSE(f.backend->errorText(static_cast<std::uint32_t>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))).empty());
}

TEST(MediaEngineDevice, anEngineThatDecodesNothingBeforePlayIsTakenAtItsWord) {
  EngineFixture f;
  f.engine.decodesBeforePlay = false;
  MediaPlayer player(*f.backend, 0, true);
  player.setFileName(f.clip);
  EXPECT_NO_THROW(player.open());
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
}

TEST(MediaEngineDevice, aSystemWithoutTheEngineFailsEveryOpenAndIsAskedOnlyOnce) {
  EngineFixture f;
  f.openResult = REGDB_E_CLASSNOTREG;
  MediaPlayer player(*f.backend, 0, true);
  player.setFileName(f.clip);
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_EQ(player.error(), static_cast<std::uint32_t>(REGDB_E_CLASSNOTREG));
  EXPECT_EQ(f.opened, 1);
}

TEST(MediaEngineDevice, theVideoSoundSwitchReachesOpenVideosLaterOnesAndOnesReadAgain) {
  EngineFixture f;
  f.backend->setMuted(true);
  MediaPlayer player(*f.backend, 0, true);
  player.setFileName(f.clip);
  player.open();
  // Both switches: Wine's engine takes SetMuted without muting.
  ASSERT_FALSE(f.engine.mutes.empty());
  EXPECT_EQ(f.engine.mutes.back(), TRUE);
  EXPECT_EQ(f.engine.volumes.back(), 0.0);
  f.engine.seekResult = E_NOTIMPL;
  f.engine.ended = true;
  f.engine.volumes.clear();
  player.play();  // the reload that restarts it
  ASSERT_FALSE(f.engine.volumes.empty());
  EXPECT_EQ(f.engine.volumes.back(), 0.0) << "still silent after the file is read again";
  f.backend->setMuted(false);
  EXPECT_EQ(f.engine.mutes.back(), FALSE);
  EXPECT_EQ(f.engine.volumes.back(), 1.0);
  player.close();
  const std::size_t calls = f.engine.volumes.size();
  f.backend->setMuted(true);
  EXPECT_EQ(f.engine.volumes.size(), calls) << "a closed file is left alone";
}

TEST(MediaEngineDevice, onlyAFrameNotYetDrawnIsFetchedAndItFillsTheFrameWindow) {
  VideoTestWindow window;
  EngineFixture f;
  MediaPlayer player(*f.backend, reinterpret_cast<NativeWindow>(window.panel()), true);
  player.setFileName(f.clip);
  player.open();
  player.setDisplayRect(Rect{0, 0, 600, 440});
  player.play();
  // No frame for now: nothing is fetched, the window stays black.
  ASSERT_TRUE(PumpUntil([&] { return f.engine.ticks >= 3; }, 5s));
  EXPECT_EQ(f.system->copies, 0);
  EXPECT_EQ(window.framePixel(300, 220), RGB(0, 0, 0));
  f.engine.tickResult = S_OK;
  f.engine.tickTime = 400000;
  ASSERT_TRUE(PumpUntil([&] { return f.system->copies == 1; }, 5s));
  const int ticks = f.engine.ticks;
  ASSERT_TRUE(PumpUntil([&] { return f.engine.ticks >= ticks + 3; }, 5s));
  EXPECT_EQ(f.system->copies, 1) << "the same frame is not fetched again";
  // The 320 x 240 frame is stretched over the whole 600 x 440 window.
  EXPECT_EQ(window.framePixel(2, 2), RGB(0, 0xc0, 0));
  EXPECT_EQ(window.framePixel(597, 437), RGB(0, 0xc0, 0));
  f.engine.tickTime = 800000;
  EXPECT_TRUE(PumpUntil([&] { return f.system->copies == 2; }, 5s));
}

}  // namespace
}  // namespace quorrel::windows_desktop
