#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>

#include "windows/base/input_during_waits.h"
#include "windows/media/media_engine_interfaces.h"

namespace quorrel::windows_desktop {

// The engine's events, as the device needs them. The engine calls
// EventNotify on a Media Foundation worker thread; the device, on the
// user-interface thread, waits for the answer to a load and reads the rest.
// So everything here is an atomic or the event handle, and the object is
// reference-counted: the engine holds it until it is shut down.
class EngineEvents final : public IMFMediaEngineNotify {
 public:
  EngineEvents()
      : described_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        decoded_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~EngineEvents() {
    if (described_ != nullptr) ::CloseHandle(described_);
    if (decoded_ != nullptr) ::CloseHandle(decoded_);
  }
  EngineEvents(const EngineEvents&) = delete;
  EngineEvents& operator=(const EngineEvents&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(IMFMediaEngineNotify)) {
      *object = static_cast<IMFMediaEngineNotify*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE EventNotify(DWORD event, DWORD_PTR /*param1*/, DWORD param2) override {
    switch (event) {
      case kMediaEngineEventLoadedMetadata:
        ::SetEvent(described_);
        break;
      case kMediaEngineEventLoadedData:
        ::SetEvent(decoded_);
        break;
      case kMediaEngineEventError: {
        // The second parameter is the HRESULT behind the error, where the
        // engine knows one.
        const HRESULT cause = static_cast<HRESULT>(param2);
        error_ = FAILED(cause) ? cause : E_FAIL;
        ::SetEvent(described_);
        ::SetEvent(decoded_);
        break;
      }
      default:
        break;
    }
    return S_OK;
  }

  // S_OK once the file's size, length and streams are known, the engine's
  // error, or a time-out after `timeout`. A file whose streams the engine
  // can read but not decode (an AVI with a Video for Windows codec, say)
  // fails only once the engine tries its decoders, which it does for the
  // first frame; so the wait goes on for that frame, or the error, for up
  // to `decodeGrace` more. An engine that decodes nothing before playing
  // is taken at its word after that. Where the thread answers input during
  // waits, it does so here.
  [[nodiscard]] HRESULT waitForLoad(std::chrono::milliseconds timeout, std::chrono::milliseconds decodeGrace) const {
    if (WaitAnsweringInput(described_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
      return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    if (SUCCEEDED(error_.load())) (void)WaitAnsweringInput(decoded_, static_cast<DWORD>(decodeGrace.count()));
    return error_;
  }
  // Whether the engine reported an error.
  [[nodiscard]] bool failed() const { return FAILED(error_.load()); }

 private:
  std::atomic<ULONG> references_{1};
  std::atomic<HRESULT> error_{S_OK};
  HANDLE described_;
  HANDLE decoded_;
};

}  // namespace quorrel::windows_desktop
