#pragma once

// The Media Foundation Media Engine interfaces that the video back end
// uses. Debian's mingw-w64 ships no mfmediaengine.h and its import
// libraries lack these identifiers, so they are declared here. A COM
// interface is a table of functions called by position: every method is
// listed in the order of Microsoft's published definition (the Windows
// SDK's mfmediaengine.idl), also the ones nobody here calls, because one
// missing or swapped line would make every later call land on the wrong
// function. The back end's tests call every method the back end uses on a
// real engine, so a wrong position fails there.

#include <windows.h>
// After windows.h, which these need.
#include <mfobjects.h>
#include <unknwn.h>

// winbase.h makes GetCurrentTime a macro for GetTickCount, which would
// rename the engine's method of that name.
#undef GetCurrentTime

struct IMFMediaError;
struct IMFMediaTimeRange;
struct IMFMediaEngineSrcElements;

// MF_MEDIA_ENGINE_ERR: what an error event's first parameter says.
enum MediaEngineError : USHORT {
  kMediaEngineNoError = 0,
  kMediaEngineAborted = 1,
  kMediaEngineNetwork = 2,
  kMediaEngineDecode = 3,
  kMediaEngineSourceNotSupported = 4,
  kMediaEngineEncrypted = 5,
};

// The MF_MEDIA_ENGINE_EVENT values the back end acts on.
enum MediaEngineEvent : DWORD {
  kMediaEngineEventError = 5,
  kMediaEngineEventLoadedMetadata = 10,
  kMediaEngineEventLoadedData = 11,
};

// MF_MEDIA_ENGINE_PRELOAD.
enum MediaEnginePreload : int {
  kMediaEnginePreloadAutomatic = 4,
};
// MF_MEDIA_ENGINE_CANPLAY, likewise.
enum MediaEngineCanPlay : int {};

struct MediaEngineNormalizedRect {
  float left;
  float top;
  float right;
  float bottom;
};

// Receives the engine's events, on a Media Foundation worker thread.
struct IMFMediaEngineNotify : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE EventNotify(DWORD event, DWORD_PTR param1, DWORD param2) = 0;
};
__CRT_UUID_DECL(IMFMediaEngineNotify, 0xfee7c112, 0xe776, 0x42b5, 0x9b, 0xbf, 0x00, 0x48, 0x52, 0x4e, 0x2b, 0xd5)

struct IMFMediaEngine : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetError(IMFMediaError** error) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetErrorCode(MediaEngineError error) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSourceElements(IMFMediaEngineSrcElements* elements) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSource(BSTR url) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentSource(BSTR* url) = 0;
  virtual USHORT STDMETHODCALLTYPE GetNetworkState() = 0;
  virtual MediaEnginePreload STDMETHODCALLTYPE GetPreload() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPreload(MediaEnginePreload preload) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBuffered(IMFMediaTimeRange** buffered) = 0;
  virtual HRESULT STDMETHODCALLTYPE Load() = 0;
  virtual HRESULT STDMETHODCALLTYPE CanPlayType(BSTR type, MediaEngineCanPlay* answer) = 0;
  virtual USHORT STDMETHODCALLTYPE GetReadyState() = 0;
  virtual BOOL STDMETHODCALLTYPE IsSeeking() = 0;
  virtual double STDMETHODCALLTYPE GetCurrentTime() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCurrentTime(double seekTime) = 0;
  virtual double STDMETHODCALLTYPE GetStartTime() = 0;
  virtual double STDMETHODCALLTYPE GetDuration() = 0;
  virtual BOOL STDMETHODCALLTYPE IsPaused() = 0;
  virtual double STDMETHODCALLTYPE GetDefaultPlaybackRate() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDefaultPlaybackRate(double rate) = 0;
  virtual double STDMETHODCALLTYPE GetPlaybackRate() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPlaybackRate(double rate) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPlayed(IMFMediaTimeRange** played) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSeekable(IMFMediaTimeRange** seekable) = 0;
  virtual BOOL STDMETHODCALLTYPE IsEnded() = 0;
  virtual BOOL STDMETHODCALLTYPE GetAutoPlay() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetAutoPlay(BOOL autoPlay) = 0;
  virtual BOOL STDMETHODCALLTYPE GetLoop() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetLoop(BOOL loop) = 0;
  virtual HRESULT STDMETHODCALLTYPE Play() = 0;
  virtual HRESULT STDMETHODCALLTYPE Pause() = 0;
  virtual BOOL STDMETHODCALLTYPE GetMuted() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMuted(BOOL muted) = 0;
  virtual double STDMETHODCALLTYPE GetVolume() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetVolume(double volume) = 0;
  virtual BOOL STDMETHODCALLTYPE HasVideo() = 0;
  virtual BOOL STDMETHODCALLTYPE HasAudio() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNativeVideoSize(DWORD* width, DWORD* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVideoAspectRatio(DWORD* width, DWORD* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE Shutdown() = 0;
  virtual HRESULT STDMETHODCALLTYPE TransferVideoFrame(IUnknown* surface, const MediaEngineNormalizedRect* source,
                                                       const RECT* destination, const MFARGB* border) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnVideoStreamTick(LONGLONG* presentationTime) = 0;
};
__CRT_UUID_DECL(IMFMediaEngine, 0x98a1b0bb, 0x03eb, 0x4935, 0xae, 0x7c, 0x93, 0xc1, 0xfa, 0x0e, 0x1c, 0x93)

struct IMFMediaEngineClassFactory : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(DWORD flags, IMFAttributes* attributes, IMFMediaEngine** engine) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateTimeRange(IMFMediaTimeRange** range) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateError(IMFMediaError** error) = 0;
};
__CRT_UUID_DECL(IMFMediaEngineClassFactory, 0x4d645ace, 0x26aa, 0x4688, 0x9b, 0xe1, 0xdf, 0x35, 0x16, 0x99, 0x0b, 0x93)

namespace quorrel::windows_desktop {

// CLSID_MFMediaEngineClassFactory.
inline constexpr GUID kMediaEngineClassFactoryClass = {
    0xb44392da, 0x499b, 0x446b, {0xa4, 0xcb, 0x00, 0x5f, 0xea, 0xd0, 0xe6, 0xd5}};
// The engine's creation attributes: MF_MEDIA_ENGINE_CALLBACK (the
// IMFMediaEngineNotify), MF_MEDIA_ENGINE_DXGI_MANAGER and
// MF_MEDIA_ENGINE_VIDEO_OUTPUT_FORMAT (a DXGI_FORMAT). With an output format
// and no playback window the engine runs in frame-server mode: it draws
// nothing itself and hands each frame over on request.
inline constexpr GUID kMediaEngineCallbackAttribute = {
    0xc60381b8, 0x83a4, 0x41f8, {0xa3, 0xd0, 0xde, 0x05, 0x07, 0x68, 0x49, 0xa9}};
inline constexpr GUID kMediaEngineDxgiManagerAttribute = {
    0x065702da, 0x1094, 0x486d, {0x86, 0x17, 0xee, 0x7c, 0xc4, 0xee, 0x46, 0x48}};
inline constexpr GUID kMediaEngineVideoOutputFormatAttribute = {
    0x5066893c, 0x8cf9, 0x42bc, {0x8b, 0x8a, 0x47, 0x22, 0x12, 0xe5, 0x27, 0x26}};

}  // namespace quorrel::windows_desktop
