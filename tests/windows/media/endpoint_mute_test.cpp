#include <windows.h>
// After windows.h, which it needs.
#include <endpointvolume.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/media/endpoint_mute.h"

namespace quorrel::windows_desktop {
namespace {

// The endpoint's volume control, recording the mute calls; everything
// else is not used by the mute.
class FakeEndpointVolume : public IAudioEndpointVolume {
 public:
  std::vector<BOOL> mutes;
  HRESULT result = S_OK;
  ULONG references = 1;

  HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID) override {
    mutes.push_back(mute);
    return result;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, float, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, float*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolumeRange(float*, float*, float*) override { return E_NOTIMPL; }
};

std::string errorOf(SystemMute& mute, bool on) {
  try {
    mute.setSystemMute(on);
  } catch (const VolumeError& error) {
    return error.what();
  }
  return {};
}

TEST(EndpointMute, setsTheEndpointsSwitchAndReleasesIt) {
  FakeEndpointVolume volume;
  const auto mute = CreateEndpointMute([&volume](IAudioEndpointVolume** out) {
    volume.AddRef();
    *out = &volume;
    return static_cast<long>(S_OK);
  });
  mute->setSystemMute(true);
  mute->setSystemMute(false);
  mute->setSystemMute(false);
  EXPECT_EQ(volume.mutes, (std::vector<BOOL>{TRUE, FALSE, FALSE}));
  EXPECT_EQ(volume.references, 1u) << "every reference is given back";
}

TEST(EndpointMute, aFailedCallReportsItsHresult) {
  FakeEndpointVolume volume;
  volume.result = E_ACCESSDENIED;
  const auto failingSet = CreateEndpointMute([&volume](IAudioEndpointVolume** out) {
    volume.AddRef();
    *out = &volume;
    return static_cast<long>(S_OK);
  });
  EXPECT_EQ(errorOf(*failingSet, true),
            "Volume setting error... error is #" + std::to_string(static_cast<int>(E_ACCESSDENIED)));
  // No sound device at all: the lookup's own HRESULT, and nothing is set.
  const auto noDevice = CreateEndpointMute([](IAudioEndpointVolume**) { return static_cast<long>(E_NOTFOUND); });
  EXPECT_EQ(errorOf(*noDevice, false),
            "Volume setting error... error is #" + std::to_string(static_cast<int>(E_NOTFOUND)));
  EXPECT_EQ(volume.mutes.size(), 1u);
}

// The system's own endpoint. Under Wine the call succeeds but never reaches
// the sound server, so all that is asked is that it returns without error.
TEST(EndpointMuteOnThisSystem, mutingAndUnmutingTheDefaultOutputSucceeds) {
  const auto mute = CreateEndpointMute();
  EXPECT_EQ(errorOf(*mute, true), "");
  EXPECT_EQ(errorOf(*mute, false), "");
}

}  // namespace
}  // namespace quorrel::windows_desktop
