#include "windows/show/display_power.h"

#include <cstring>
#include <string>

#include "base/log.h"

namespace quorrel::windows_desktop {

DisplayPowerNotifications::DisplayPowerNotifications(HWND window)
    : notify_(::RegisterPowerSettingNotification(window, &GUID_CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE)) {
  if (notify_ == nullptr) {
    LogError("the display's power state cannot be followed (error " + std::to_string(::GetLastError()) + ")");
  }
}

DisplayPowerNotifications::~DisplayPowerNotifications() {
  if (notify_ != nullptr) ::UnregisterPowerSettingNotification(notify_);
}

std::optional<bool> ConsoleDisplayOff(WPARAM wParam, LPARAM lParam) {
  if (wParam != PBT_POWERSETTINGCHANGE || lParam == 0) return std::nullopt;
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
  if (!IsEqualGUID(setting->PowerSetting, GUID_CONSOLE_DISPLAY_STATE) || setting->DataLength < sizeof(DWORD)) {
    return std::nullopt;
  }
  // 0 is off, 1 on, 2 dimmed.
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof(state));
  return state == 0;
}

}  // namespace quorrel::windows_desktop
