#include "windows/media/sound_output.h"

#include <windows.h>
// After windows.h, which these need.
#include <mmdeviceapi.h>
#include <wrl/client.h>

namespace quorrel::windows_desktop {

bool SoundOutputExists() {
  Microsoft::WRL::ComPtr<IMMDeviceEnumerator> devices;
  if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&devices)))) {
    return false;
  }
  Microsoft::WRL::ComPtr<IMMDevice> output;
  return SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, &output));
}

}  // namespace quorrel::windows_desktop
