// The console display's power notifications: the messages the show reads,
// built as Windows sends them, and one real registration under Wine.

#include "windows/show/display_power.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace quorrel::windows_desktop {
namespace {

// A POWERBROADCAST_SETTING for `setting` carrying `data`.
std::vector<unsigned char> powerSetting(const GUID& setting, const std::vector<unsigned char>& data) {
  std::vector<unsigned char> bytes(offsetof(POWERBROADCAST_SETTING, Data) + data.size() + 4);
  auto* message = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes.data());
  message->PowerSetting = setting;
  message->DataLength = static_cast<DWORD>(data.size());
  if (!data.empty()) std::memcpy(message->Data, data.data(), data.size());
  return bytes;
}

std::optional<bool> read(const std::vector<unsigned char>& bytes, WPARAM event = PBT_POWERSETTINGCHANGE) {
  return ConsoleDisplayOff(event, reinterpret_cast<LPARAM>(bytes.data()));
}

TEST(ConsoleDisplayState, offPausesWhileOnAndDimmedPlay) {
  EXPECT_EQ(read(powerSetting(GUID_CONSOLE_DISPLAY_STATE, {0, 0, 0, 0})), true);
  EXPECT_EQ(read(powerSetting(GUID_CONSOLE_DISPLAY_STATE, {1, 0, 0, 0})), false);
  EXPECT_EQ(read(powerSetting(GUID_CONSOLE_DISPLAY_STATE, {2, 0, 0, 0})), false);
}

TEST(ConsoleDisplayState, otherPowerMessagesAreNotAboutTheDisplay) {
  // Another setting (the monitor's own power state, an older message).
  EXPECT_EQ(read(powerSetting(GUID_MONITOR_POWER_ON, {0, 0, 0, 0})), std::nullopt);
  // Suspend and resume of the whole machine, with no setting attached.
  EXPECT_EQ(ConsoleDisplayOff(PBT_APMSUSPEND, 0), std::nullopt);
  EXPECT_EQ(read(powerSetting(GUID_CONSOLE_DISPLAY_STATE, {0, 0, 0, 0}), PBT_APMRESUMEAUTOMATIC), std::nullopt);
  EXPECT_EQ(ConsoleDisplayOff(PBT_POWERSETTINGCHANGE, 0), std::nullopt);
  // Too short to hold the state.
  EXPECT_EQ(read(powerSetting(GUID_CONSOLE_DISPLAY_STATE, {0, 0})), std::nullopt);
}

TEST(ConsoleDisplayState, aWindowRegistersForTheDisplaysStateAndLetsGoAgain) {
  const HWND window = ::CreateWindowExW(0, L"STATIC", L"display power", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  {
    DisplayPowerNotifications notifications(window);
    EXPECT_TRUE(notifications.registered());
  }
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace quorrel::windows_desktop
