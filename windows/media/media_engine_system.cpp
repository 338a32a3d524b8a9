#include <windows.h>
// After windows.h, which these need.
#include <d3d10.h>
#include <d3d11.h>
#include <mfapi.h>
#include <wrl/client.h>

#include <cstring>

#include "windows/media/media_engine_device.h"
#include "windows/media/media_engine_interfaces.h"

namespace quorrel::windows_desktop {

namespace {

using Microsoft::WRL::ComPtr;

// Media Foundation's entry points are looked up when the engine is first
// wanted, not linked: MFCreateDXGIDeviceManager exists from Windows 8 on,
// and a program linked to it would not start at all on Windows 7, where
// MCI must play everything.
struct MediaFoundationCalls {
  HRESULT(WINAPI* startup)(ULONG version, DWORD flags) = nullptr;
  HRESULT(WINAPI* shutdown)() = nullptr;
  HRESULT(WINAPI* createAttributes)(IMFAttributes** attributes, UINT32 size) = nullptr;
  HRESULT(WINAPI* createDeviceManager)(UINT* resetToken, IMFDXGIDeviceManager** manager) = nullptr;
  PFN_D3D11_CREATE_DEVICE createDevice = nullptr;
};

// Only from the system folder, so that a DLL of the same name beside the
// screen saver is never loaded in its place.
HMODULE LoadSystemLibrary(const wchar_t* name) { return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

template <typename Function>
bool Find(HMODULE library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
  return function != nullptr;
}

class SystemMediaEngine final : public MediaEngineSystem {
 public:
  ~SystemMediaEngine() override {
    // Everything Media Foundation made goes before it shuts down.
    staging_.Reset();
    target_.Reset();
    factory_.Reset();
    manager_.Reset();
    context_.Reset();
    device_.Reset();
    if (started_) calls_.shutdown();
    // The libraries stay loaded: Media Foundation's worker threads may
    // still be winding down, and code unloaded under them would crash the
    // process as it ends.
  }

  HRESULT open() {
    mfplat_ = LoadSystemLibrary(L"mfplat.dll");
    d3d11_ = LoadSystemLibrary(L"d3d11.dll");
    if (mfplat_ == nullptr || d3d11_ == nullptr) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    if (!Find(mfplat_, "MFStartup", calls_.startup) || !Find(mfplat_, "MFShutdown", calls_.shutdown) ||
        !Find(mfplat_, "MFCreateAttributes", calls_.createAttributes) ||
        !Find(mfplat_, "MFCreateDXGIDeviceManager", calls_.createDeviceManager) ||
        !Find(d3d11_, "D3D11CreateDevice", calls_.createDevice)) {
      return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    HRESULT result = calls_.startup(MF_VERSION, MFSTARTUP_LITE);
    if (FAILED(result)) return result;
    started_ = true;
    if (FAILED(result = createDevice())) return result;
    // The engine decodes on its own threads with the same device that this
    // thread copies frames with, so the device's context must take turns.
    ComPtr<ID3D10Multithread> multithread;
    if (SUCCEEDED(device_.As(&multithread))) multithread->SetMultithreadProtected(TRUE);
    UINT resetToken = 0;
    if (FAILED(result = calls_.createDeviceManager(&resetToken, &manager_))) return result;
    if (FAILED(result = manager_->ResetDevice(device_.Get(), resetToken))) return result;
    // Windows 7 has no class of this name: MCI then plays every video.
    return ::CoCreateInstance(kMediaEngineClassFactoryClass, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IMFMediaEngineClassFactory), reinterpret_cast<void**>(factory_.GetAddressOf()));
  }

  HRESULT createEngine(IMFMediaEngineNotify* events, IMFMediaEngine** engine) override {
    ComPtr<IMFAttributes> attributes;
    HRESULT result = calls_.createAttributes(&attributes, 3);
    if (SUCCEEDED(result)) result = attributes->SetUnknown(kMediaEngineCallbackAttribute, events);
    if (SUCCEEDED(result)) result = attributes->SetUnknown(kMediaEngineDxgiManagerAttribute, manager_.Get());
    // An output format and no playback window: frame-server mode. The
    // engine's own window mode draws nothing under Wine, and a window the
    // engine owned would not be the player's child at its rectangle.
    if (SUCCEEDED(result))
      result = attributes->SetUINT32(kMediaEngineVideoOutputFormatAttribute, DXGI_FORMAT_B8G8R8A8_UNORM);
    if (SUCCEEDED(result)) result = factory_->CreateInstance(0, attributes.Get(), engine);
    return result;
  }

  HRESULT copyFrame(IMFMediaEngine& engine, std::uint32_t width, std::uint32_t height,
                    std::vector<std::uint32_t>& pixels) override {
    HRESULT result = makeTextures(width, height);
    if (FAILED(result)) return result;
    const RECT whole{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    const MFARGB black{0, 0, 0, 255};
    if (FAILED(result = engine.TransferVideoFrame(target_.Get(), nullptr, &whole, &black))) return result;
    // The frame is drawn on the device; the staging texture brings it to
    // memory this thread can read.
    context_->CopyResource(staging_.Get(), target_.Get());
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (FAILED(result = context_->Map(staging_.Get(), 0, D3D11_MAP_READ, 0, &mapped))) return result;
    pixels.resize(static_cast<std::size_t>(width) * height);
    const auto* row = static_cast<const unsigned char*>(mapped.pData);
    for (std::uint32_t y = 0; y < height; ++y, row += mapped.RowPitch) {
      std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width, row, width * sizeof(std::uint32_t));
    }
    context_->Unmap(staging_.Get(), 0);
    return S_OK;
  }

 private:
  HRESULT createDevice() {
    // Video support lets the engine decode on the graphics card; a card or
    // driver without it still converts and scales frames, and WARP does
    // both in software where there is no card at all.
    const UINT bgra = D3D11_CREATE_DEVICE_BGRA_SUPPORT;
    const struct {
      D3D_DRIVER_TYPE driver;
      UINT flags;
    } choices[] = {{D3D_DRIVER_TYPE_HARDWARE, bgra | D3D11_CREATE_DEVICE_VIDEO_SUPPORT},
                   {D3D_DRIVER_TYPE_HARDWARE, bgra},
                   {D3D_DRIVER_TYPE_WARP, bgra}};
    HRESULT result = E_FAIL;
    for (const auto& choice : choices) {
      result = calls_.createDevice(nullptr, choice.driver, nullptr, choice.flags, nullptr, 0, D3D11_SDK_VERSION,
                                   &device_, nullptr, &context_);
      if (SUCCEEDED(result)) return result;
    }
    return result;
  }

  // The textures of the frame's size, made again when the size changes.
  HRESULT makeTextures(std::uint32_t width, std::uint32_t height) {
    if (target_ && width == width_ && height == height_) return S_OK;
    target_.Reset();
    staging_.Reset();
    D3D11_TEXTURE2D_DESC description{};
    description.Width = width;
    description.Height = height;
    description.MipLevels = 1;
    description.ArraySize = 1;
    description.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    description.SampleDesc.Count = 1;
    description.Usage = D3D11_USAGE_DEFAULT;
    description.BindFlags = D3D11_BIND_RENDER_TARGET;
    HRESULT result = device_->CreateTexture2D(&description, nullptr, &target_);
    if (FAILED(result)) return result;
    description.Usage = D3D11_USAGE_STAGING;
    description.BindFlags = 0;
    description.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    if (FAILED(result = device_->CreateTexture2D(&description, nullptr, &staging_))) {
      target_.Reset();
      return result;
    }
    width_ = width;
    height_ = height;
    return S_OK;
  }

  HMODULE mfplat_ = nullptr;
  HMODULE d3d11_ = nullptr;
  MediaFoundationCalls calls_;
  bool started_ = false;
  ComPtr<ID3D11Device> device_;
  ComPtr<ID3D11DeviceContext> context_;
  ComPtr<IMFDXGIDeviceManager> manager_;
  ComPtr<IMFMediaEngineClassFactory> factory_;
  ComPtr<ID3D11Texture2D> target_;
  ComPtr<ID3D11Texture2D> staging_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
};

}  // namespace

std::unique_ptr<MediaEngineSystem> OpenSystemMediaEngine(HRESULT& result) {
  auto system = std::make_unique<SystemMediaEngine>();
  result = system->open();
  if (FAILED(result)) return nullptr;
  return system;
}

}  // namespace quorrel::windows_desktop
