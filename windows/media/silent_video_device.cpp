#include "windows/media/silent_video_device.h"

#include <windows.h>
// After windows.h, which these need.
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "windows/media/media_foundation_files.h"
#include "windows/media/nv12_pixels.h"
#include "windows/media/video_frame_window.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

using Microsoft::WRL::ComPtr;
using Clock = std::chrono::steady_clock;

// Media Foundation's units: 100 ns.
constexpr LONGLONG kUnitsPerMillisecond = 10000;

// Looked up, not linked, as the Media Engine's are, so that the program
// starts where Media Foundation is missing (Windows N editions without
// the Media Feature Pack).
struct SourceReaderCalls {
  HRESULT(WINAPI* startup)(ULONG version, DWORD flags) = nullptr;
  HRESULT(WINAPI* shutdown)() = nullptr;
  HRESULT(WINAPI* createAttributes)(IMFAttributes** attributes, UINT32 size) = nullptr;
  HRESULT(WINAPI* createMediaType)(IMFMediaType** type) = nullptr;
  HRESULT(WINAPI* createReader)(LPCWSTR url, IMFAttributes* attributes, IMFSourceReader** reader) = nullptr;
};

template <typename Function>
bool Find(HMODULE library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
  return function != nullptr;
}

std::uint32_t code(HRESULT result) { return SUCCEEDED(result) ? 0 : static_cast<std::uint32_t>(result); }

class SilentVideoDevice final : public MediaDevice {
 public:
  SilentVideoDevice(ComPtr<IMFSourceReader> reader, bool nv12, std::uint32_t width, std::uint32_t height, LONG stride,
                    LONGLONG length)
      : reader_(std::move(reader)),
        nv12_(nv12),
        width_(width),
        height_(height),
        stride_(stride),
        length_(length),
        destination_{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)} {}

  ~SilentVideoDevice() override { (void)close(); }
  SilentVideoDevice(const SilentVideoDevice&) = delete;
  SilentVideoDevice& operator=(const SilentVideoDevice&) = delete;

  // Reads the first frame, so that a file whose picture cannot be decoded
  // fails to open rather than playing black.
  HRESULT start() {
    const HRESULT result = readNext();
    if (FAILED(result)) return result;
    return next_ ? S_OK : MF_E_INVALID_FILE_FORMAT;
  }

  bool hasVideo() const override { return true; }
  Rect sourceRect() const override {
    return Rect{0, 0, static_cast<std::int32_t>(width_), static_cast<std::int32_t>(height_)};
  }

  std::uint32_t close() override {
    frames_.reset();
    next_.Reset();
    reader_.Reset();
    return 0;
  }

  std::uint32_t play() override {
    if (!reader_) return code(MF_E_SHUTDOWN);
    if (state_ != PlayerMode::Playing) startedAt_ = Clock::now();
    state_ = PlayerMode::Playing;
    return 0;
  }
  std::uint32_t resume() override { return play(); }
  std::uint32_t pause() override { return hold(PlayerMode::Paused); }
  // Holds where it is, as a stopped MCI device does.
  std::uint32_t stop() override { return hold(PlayerMode::Stopped); }

  std::uint32_t seekToStart() override {
    if (!reader_) return code(MF_E_SHUTDOWN);
    PROPVARIANT start{};
    start.vt = VT_I8;
    start.hVal.QuadPart = 0;
    const HRESULT result = reader_->SetCurrentPosition(GUID_NULL, start);
    if (FAILED(result)) return code(result);
    next_.Reset();
    endOfStream_ = false;
    heldAt_ = 0;
    state_ = PlayerMode::Stopped;
    return 0;
  }

  std::uint32_t position(std::int64_t& milliseconds) override {
    if (!reader_) return code(MF_E_SHUTDOWN);
    milliseconds = std::min(mediaTime(), length_) / kUnitsPerMillisecond;
    if (ended()) milliseconds = length_ / kUnitsPerMillisecond;
    return 0;
  }

  std::uint32_t length(std::int64_t& milliseconds) override {
    if (!reader_) return code(MF_E_SHUTDOWN);
    milliseconds = length_ / kUnitsPerMillisecond;
    return 0;
  }

  std::uint32_t mode(PlayerMode& mode) override {
    mode = !reader_ || ended() ? PlayerMode::Stopped : state_;
    return 0;
  }

  std::uint32_t setDisplayWindow(NativeWindow window) override {
    frames_.reset();
    frames_ = std::make_unique<VideoFrameWindow>(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)),
                                                 destination_, [this] { drawDueFrame(); });
    if (frames_->hwnd() != nullptr) return 0;
    frames_.reset();
    return code(HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE));
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
  std::uint32_t hold(PlayerMode held) {
    if (!reader_) return code(MF_E_SHUTDOWN);
    heldAt_ = mediaTime();
    state_ = held;
    return 0;
  }

  // Where the picture stands, in 100 ns units: it moves only while playing.
  [[nodiscard]] LONGLONG mediaTime() const {
    if (state_ != PlayerMode::Playing) return heldAt_;
    const auto played = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - startedAt_);
    return heldAt_ + played.count() * 10;
  }

  [[nodiscard]] bool ended() const { return endOfStream_ && !next_; }

  HRESULT readNext() {
    DWORD stream = 0;
    DWORD flags = 0;
    LONGLONG time = 0;
    ComPtr<IMFSample> sample;
    const HRESULT result = reader_->ReadSample(MF_SOURCE_READER_FIRST_VIDEO_STREAM, 0, &stream, &flags, &time, &sample);
    if (FAILED(result) || (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR)) != 0) {
      endOfStream_ = true;
      next_.Reset();
      return result;
    }
    // A gap in the stream gives no sample; the next read goes on after it.
    next_ = sample;
    nextTime_ = time;
    return S_OK;
  }

  // On every tick of the frame window while playing: the frames whose time
  // has come are read, and only the latest of them is drawn, so a slow
  // computer skips frames rather than falling behind. Nothing is decoded
  // while the video holds.
  void drawDueFrame() {
    if (!reader_ || state_ != PlayerMode::Playing || !frames_) return;
    const LONGLONG now = mediaTime();
    ComPtr<IMFSample> due;
    while (!endOfStream_) {
      if (!next_ && FAILED(readNext())) break;
      if (!next_ || nextTime_ > now) break;
      due = std::move(next_);
      next_.Reset();
    }
    if (due) show(*due.Get());
  }

  void show(IMFSample& sample) {
    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample.ConvertToContiguousBuffer(&buffer))) return;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (FAILED(buffer->Lock(&data, nullptr, &size))) return;
    const LONG stride = std::abs(stride_);
    if (nv12_) {
      if (size >= static_cast<DWORD>(stride) * height_ * 3 / 2)
        Nv12ToPixels(data, size, stride, width_, height_, pixels_);
    } else if (size >= static_cast<DWORD>(stride) * height_) {
      pixels_.resize(static_cast<std::size_t>(width_) * height_);
      for (std::uint32_t y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        std::copy(row, row + width_, pixels_.data() + static_cast<std::size_t>(y) * width_);
      }
    }
    (void)buffer->Unlock();
    if (!pixels_.empty()) frames_->show(width_, height_, pixels_);
  }

  ComPtr<IMFSourceReader> reader_;
  bool nv12_;
  std::uint32_t width_;
  std::uint32_t height_;
  LONG stride_;
  LONGLONG length_;
  Rect destination_;
  PlayerMode state_ = PlayerMode::Stopped;
  Clock::time_point startedAt_;
  LONGLONG heldAt_ = 0;
  ComPtr<IMFSample> next_;
  LONGLONG nextTime_ = 0;
  bool endOfStream_ = false;
  std::unique_ptr<VideoFrameWindow> frames_;
  std::vector<std::uint32_t> pixels_;
};

class SilentVideoBackend final : public MediaBackend {
 public:
  ~SilentVideoBackend() override {
    if (started_) calls_.shutdown();
  }

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow /*display*/,
                                    std::uint32_t& errorCode) override {
    const std::wstring path = Widen(fileName);
    HRESULT result = IsExistingFile(path) ? load() : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    std::unique_ptr<SilentVideoDevice> device;
    if (SUCCEEDED(result)) result = openReader(path, device);
    if (SUCCEEDED(result)) result = device->start();
    errorCode = code(result);
    if (FAILED(result)) return nullptr;
    return device;
  }

  std::uint32_t noDeviceCode() const override { return static_cast<std::uint32_t>(MF_E_NOT_INITIALIZED); }

  std::string errorText(std::uint32_t code) const override { return HresultText(code); }

 private:
  HRESULT load() {
    if (loaded_) return loadResult_;
    loaded_ = true;
    const HMODULE mfplat = ::LoadLibraryExW(L"mfplat.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const HMODULE mfreadwrite = ::LoadLibraryExW(L"mfreadwrite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (mfplat == nullptr || mfreadwrite == nullptr || !Find(mfplat, "MFStartup", calls_.startup) ||
        !Find(mfplat, "MFShutdown", calls_.shutdown) || !Find(mfplat, "MFCreateAttributes", calls_.createAttributes) ||
        !Find(mfplat, "MFCreateMediaType", calls_.createMediaType) ||
        !Find(mfreadwrite, "MFCreateSourceReaderFromURL", calls_.createReader)) {
      return loadResult_ = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    loadResult_ = calls_.startup(MF_VERSION, MFSTARTUP_LITE);
    started_ = SUCCEEDED(loadResult_);
    return loadResult_;
  }

  HRESULT openReader(const std::wstring& path, std::unique_ptr<SilentVideoDevice>& device) {
    ComPtr<IMFAttributes> attributes;
    HRESULT result = calls_.createAttributes(&attributes, 1);
    // The reader converts the decoder's pictures to 32-bit pixels where
    // the system has the converter; where it has not (Wine), the pictures
    // come as NV12, which this back end converts itself.
    if (SUCCEEDED(result)) result = attributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, TRUE);
    ComPtr<IMFSourceReader> reader;
    if (SUCCEEDED(result)) result = calls_.createReader(path.c_str(), attributes.Get(), &reader);
    if (SUCCEEDED(result)) result = reader->SetStreamSelection(MF_SOURCE_READER_ALL_STREAMS, FALSE);
    if (SUCCEEDED(result)) result = reader->SetStreamSelection(MF_SOURCE_READER_FIRST_VIDEO_STREAM, TRUE);
    if (FAILED(result)) return result;
    bool nv12 = false;
    if (FAILED(setOutput(*reader.Get(), MFVideoFormat_RGB32))) {
      nv12 = true;
      if (FAILED(result = setOutput(*reader.Get(), MFVideoFormat_NV12))) return result;
    }
    ComPtr<IMFMediaType> type;
    if (FAILED(result = reader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_VIDEO_STREAM, &type))) return result;
    UINT64 size = 0;
    if (FAILED(result = type->GetUINT64(MF_MT_FRAME_SIZE, &size))) return result;
    const auto width = static_cast<UINT32>(size >> 32);
    const auto height = static_cast<UINT32>(size & 0xffffffffu);
    if (width == 0 || height == 0) return MF_E_INVALIDMEDIATYPE;
    UINT32 stride = 0;
    if (FAILED(type->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride))) stride = nv12 ? width : width * 4;
    PROPVARIANT duration{};
    LONGLONG length = 0;
    if (SUCCEEDED(reader->GetPresentationAttribute(MF_SOURCE_READER_MEDIASOURCE, MF_PD_DURATION, &duration)) &&
        duration.vt == VT_UI8) {
      length = static_cast<LONGLONG>(duration.uhVal.QuadPart);
    }
    device = std::make_unique<SilentVideoDevice>(std::move(reader), nv12, width, height,
                                                 static_cast<LONG>(static_cast<INT32>(stride)), length);
    return S_OK;
  }

  HRESULT setOutput(IMFSourceReader& reader, const GUID& subtype) {
    ComPtr<IMFMediaType> type;
    HRESULT result = calls_.createMediaType(&type);
    if (SUCCEEDED(result)) result = type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video);
    if (SUCCEEDED(result)) result = type->SetGUID(MF_MT_SUBTYPE, subtype);
    if (SUCCEEDED(result))
      result = reader.SetCurrentMediaType(MF_SOURCE_READER_FIRST_VIDEO_STREAM, nullptr, type.Get());
    return result;
  }

  SourceReaderCalls calls_;
  bool loaded_ = false;
  bool started_ = false;
  HRESULT loadResult_ = S_OK;
};

}  // namespace

std::unique_ptr<MediaBackend> CreateSilentVideoBackend() { return std::make_unique<SilentVideoBackend>(); }

}  // namespace quorrel::windows_desktop
