#include "idle/idle_choice.h"

#include <cstdint>
#include <string_view>

#include "settings/settings_file.h"
#include "settings/settings_schema.h"

namespace quorrel {

IdleChoice ReadIdleChoice(const SettingsFile& file) {
  IdleChoice choice;
  choice.on = IdleStartOf(file.readText(kOptionsSection, kIdleStartKey, ""));
  const std::int32_t minutes = IdleMinutesOf(file.readNumber(kOptionsSection, kIdleMinutesKey, kNumberReadDefault));
  choice.wait = std::chrono::minutes(minutes);
  return choice;
}

std::chrono::seconds WatcherWait(const IdleChoice& choice, std::optional<std::chrono::seconds> given) {
  return given ? *given : choice.wait;
}

std::optional<std::chrono::seconds> ParseWaitSeconds(const char* text) {
  constexpr std::int64_t kOneDay = 24 * 60 * 60;
  if (text == nullptr || *text == '\0') return std::nullopt;
  std::int64_t seconds = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return std::nullopt;
    seconds = seconds * 10 + (*c - '0');
    if (seconds > kOneDay) return std::nullopt;
  }
  if (seconds < 1) return std::nullopt;
  return std::chrono::seconds(seconds);
}

}  // namespace quorrel
