#include "windows/media/endpoint_mute.h"

#include <windows.h>
// After windows.h, which these need.
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <utility>

namespace quorrel::windows_desktop {

namespace {

// Releases a COM reference when it goes out of scope.
template <typename Interface>
class ComReference {
 public:
  ComReference() = default;
  ~ComReference() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComReference(const ComReference&) = delete;
  ComReference& operator=(const ComReference&) = delete;
  Interface** out() { return &pointer_; }
  Interface* operator->() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// COM is started for this thread while a call needs it, unless the thread
// has it already (then the call leaves it as it was).
class ComScope {
 public:
  ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

class EndpointMute final : public SystemMute {
 public:
  explicit EndpointMute(EndpointVolumeOpener opener) : opener_(std::move(opener)) {}

  void setSystemMute(bool mute) override {
    const ComScope com;
    ComReference<IAudioEndpointVolume> volume;
    HRESULT result = opener_(volume.out());
    if (SUCCEEDED(result)) result = volume->SetMute(mute ? TRUE : FALSE, nullptr);
    if (FAILED(result)) throw VolumeError(static_cast<int>(result));
  }

 private:
  EndpointVolumeOpener opener_;
};

}  // namespace

long OpenDefaultEndpointVolume(IAudioEndpointVolume** volume) {
  ComReference<IMMDeviceEnumerator> enumerator;
  HRESULT result = ::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(enumerator.out()));
  if (FAILED(result)) return result;
  ComReference<IMMDevice> device;
  result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.out());
  if (FAILED(result)) return result;
  return device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                          reinterpret_cast<void**>(volume));
}

std::unique_ptr<SystemMute> CreateEndpointMute(EndpointVolumeOpener opener) {
  return std::make_unique<EndpointMute>(std::move(opener));
}

}  // namespace quorrel::windows_desktop
