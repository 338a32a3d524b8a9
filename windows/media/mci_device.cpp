#include "windows/media/mci_device.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>
// After mmsystem.h, which it needs.
#include <digitalv.h>

#include <array>
#include <atomic>
#include <string>
#include <utility>

#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

// Receives the completion notices of the commands sent with MCI_NOTIFY.
// Nothing acts on them; the window exists so that MCI has somewhere to post
// them. A message-only window: never shown, never in the window list.
class NotifyWindow {
 public:
  NotifyWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = L"QuorrelMciNotify";
      return ::RegisterClassW(&wc);
    }();
    handle_ = ::CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(windowClass)), L"", 0, 0, 0, 0, 0,
                                HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  }
  ~NotifyWindow() {
    if (handle_ != nullptr) ::DestroyWindow(handle_);
  }
  NotifyWindow(const NotifyWindow&) = delete;
  NotifyWindow& operator=(const NotifyWindow&) = delete;
  [[nodiscard]] DWORD_PTR callback() const { return reinterpret_cast<DWORD_PTR>(handle_); }

 private:
  HWND handle_ = nullptr;
};

// An MCI rectangle holds left, top, width and height.
Rect fromMciRect(const RECT& rc) { return Rect{rc.left, rc.top, rc.right, rc.bottom}; }
RECT toMciRect(const Rect& rect) { return RECT{rect.left, rect.top, rect.width, rect.height}; }

class MciDevice final : public MediaDevice {
 public:
  MciDevice(const MciApi& api, MCIDEVICEID id, DWORD_PTR callback) : api_(api), id_(id), callback_(callback) {
    hasVideo_ = capability(MCI_GETDEVCAPS_HAS_VIDEO) != 0;
    MCI_ANIM_RECT_PARMS where{};
    if (send(MCI_WHERE, MCI_ANIM_WHERE_SOURCE, &where) == 0) source_ = fromMciRect(where.rc);
  }

  ~MciDevice() override {
    if (!closed_) {
      MCI_GENERIC_PARMS parameters{callback_};
      (void)send(MCI_CLOSE, MCI_WAIT, &parameters);
    }
  }

  bool hasVideo() const override { return hasVideo_; }
  Rect sourceRect() const override { return hasVideo_ ? source_ : Rect{}; }

  std::uint32_t close() override {
    MCI_GENERIC_PARMS parameters{callback_};
    const std::uint32_t code = send(MCI_CLOSE, MCI_WAIT, &parameters);
    if (code == 0) closed_ = true;
    return code;
  }

  std::uint32_t play() override {
    // No start or end position: from where the media stands to its end.
    MCI_PLAY_PARMS parameters{};
    parameters.dwCallback = callback_;
    return send(MCI_PLAY, MCI_NOTIFY, &parameters);
  }

  std::uint32_t stop() override {
    MCI_GENERIC_PARMS parameters{callback_};
    return send(MCI_STOP, MCI_WAIT, &parameters);
  }

  std::uint32_t pause() override {
    MCI_GENERIC_PARMS parameters{callback_};
    return send(MCI_PAUSE, MCI_WAIT, &parameters);
  }

  std::uint32_t resume() override {
    MCI_GENERIC_PARMS parameters{callback_};
    return send(MCI_RESUME, MCI_NOTIFY, &parameters);
  }

  std::uint32_t seekToStart() override {
    MCI_SEEK_PARMS parameters{};
    return send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &parameters);
  }

  // Both in the device's own time format, which is never changed: they are
  // only compared with each other.
  std::uint32_t position(std::int64_t& value) override { return status(MCI_STATUS_POSITION, value); }
  std::uint32_t length(std::int64_t& value) override { return status(MCI_STATUS_LENGTH, value); }

  std::uint32_t mode(PlayerMode& mode) override {
    std::int64_t reported = 0;
    const std::uint32_t code = status(MCI_STATUS_MODE, reported);
    // MCI_MODE_NOT_READY (524) to MCI_MODE_OPEN (530) in their low byte,
    // less 12, are the player's modes 0 to 6.
    if (code == 0) mode = static_cast<PlayerMode>(static_cast<std::uint8_t>((reported & 0xff) - 12));
    return code;
  }

  std::uint32_t setDisplayWindow(NativeWindow window) override {
    MCI_ANIM_WINDOW_PARMSW parameters{};
    parameters.hWnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
    return send(MCI_WINDOW, MCI_WAIT | MCI_ANIM_WINDOW_HWND, &parameters);
  }

  std::uint32_t setDestination(const Rect& rect) override {
    MCI_ANIM_RECT_PARMS parameters{};
    parameters.rc = toMciRect(rect);
    return send(MCI_PUT, MCI_ANIM_RECT | MCI_ANIM_PUT_DESTINATION, &parameters);
  }

  std::uint32_t destination(Rect& rect) override {
    MCI_ANIM_RECT_PARMS parameters{};
    const std::uint32_t code = send(MCI_WHERE, MCI_ANIM_WHERE_DESTINATION, &parameters);
    if (code == 0) rect = fromMciRect(parameters.rc);
    return code;
  }

 private:
  std::uint32_t send(UINT message, DWORD_PTR flags, void* parameters) const {
    return api_.sendCommand(id_, message, flags, parameters);
  }

  std::uint32_t status(DWORD item, std::int64_t& value) {
    MCI_STATUS_PARMS parameters{};
    parameters.dwItem = item;
    const std::uint32_t code = send(MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &parameters);
    if (code == 0) value = static_cast<std::int64_t>(parameters.dwReturn);
    return code;
  }

  DWORD_PTR capability(DWORD item) {
    MCI_GETDEVCAPS_PARMS parameters{};
    parameters.dwItem = item;
    return send(MCI_GETDEVCAPS, MCI_WAIT | MCI_GETDEVCAPS_ITEM, &parameters) == 0 ? parameters.dwReturn : 0;
  }

  const MciApi& api_;
  MCIDEVICEID id_;
  DWORD_PTR callback_;
  bool hasVideo_ = false;
  bool closed_ = false;
  Rect source_;
};

class MciBackend final : public MediaBackend {
 public:
  MciBackend(MciApi api, MediaAudio audio) : api_(std::move(api)), audio_(audio) {}

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow /*display*/,
                                    std::uint32_t& errorCode) override {
    const std::wstring element = Widen(fileName);
    MCI_OPEN_PARMSW parameters{};
    parameters.dwCallback = notify_.callback();
    parameters.lpstrElementName = element.c_str();
    // Without an alias of its own, MCI names a device by its file, and
    // refuses a second device for a file that is already open (two
    // monitors reaching the same video, or the show and its background
    // sound sharing a file); each device gets a name nothing else holds.
    static std::atomic<unsigned> devicesOpened{0};
    const std::wstring alias = L"quorrel" + std::to_wstring(++devicesOpened);
    parameters.lpstrAlias = alias.c_str();
    DWORD_PTR flags = MCI_WAIT | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS;
    // No device type: MCI chooses the device by the file name's extension.
    parameters.lpstrDeviceType = L"";
    errorCode = api_.sendCommand(0, MCI_OPEN, flags, &parameters);
    if (errorCode != 0) return nullptr;
    if (audio_ == MediaAudio::Off) silence(parameters.wDeviceID);
    return std::make_unique<MciDevice>(api_, parameters.wDeviceID, notify_.callback());
  }

  // What a status request to device 0, the identifier of no device, gives.
  std::uint32_t noDeviceCode() const override { return MCIERR_INVALID_DEVICE_ID; }

  std::string errorText(std::uint32_t code) const override { return api_.errorText(code); }

 private:
  // A device that knows neither command keeps its sound; nothing else
  // depends on the answers.
  void silence(MCIDEVICEID device) const {
    MCI_SET_PARMS off{};
    off.dwAudio = MCI_SET_AUDIO_ALL;
    (void)api_.sendCommand(device, MCI_SET, MCI_WAIT | MCI_SET_AUDIO | MCI_SET_OFF, &off);
    MCI_DGV_SETAUDIO_PARMSW volume{};
    volume.dwItem = MCI_DGV_SETAUDIO_VOLUME;
    volume.dwValue = 0;
    (void)api_.sendCommand(device, MCI_SETAUDIO, MCI_WAIT | MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE, &volume);
  }

  MciApi api_;
  MediaAudio audio_;
  NotifyWindow notify_;
};

}  // namespace

MciApi SystemMciApi() {
  MciApi api;
  api.sendCommand = [](std::uint32_t device, std::uint32_t message, std::uintptr_t flags, void* parameters) {
    return static_cast<std::uint32_t>(
        ::mciSendCommandW(device, message, flags, reinterpret_cast<DWORD_PTR>(parameters)));
  };
  api.errorText = [](std::uint32_t code) {
    // The same 4096-character buffer MCI's texts have always come through.
    std::array<wchar_t, 4096> text{};
    if (!::mciGetErrorStringW(code, text.data(), static_cast<UINT>(text.size()))) return std::string();
    return Narrow(text.data());
  };
  return api;
}

std::unique_ptr<MediaBackend> CreateMciBackend(MciApi api, MediaAudio audio) {
  return std::make_unique<MciBackend>(std::move(api), audio);
}

}  // namespace quorrel::windows_desktop
