#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorrel::test {

// The values that the process tests write: each names the write that made
// it and has a fixed tail, so that a value cut short or spliced from two
// writes is recognised.
constexpr int kSlotCount = 10;

inline int SlotOf(long generation) { return static_cast<int>(generation % kSlotCount) + 1; }

inline std::string SlotKey(long generation) { return "Name" + std::to_string(SlotOf(generation)); }

inline std::string SlotValue(long generation) {
  return "/videos/g" + std::to_string(generation) + "/" + std::string(90, 'x') + "/slot" +
         std::to_string(SlotOf(generation)) + ".avi";
}

// The generation that wrote `value` into `slot`; 0 for the initial "Null",
// nothing for a value that no complete write into that slot produced.
inline std::optional<long> GenerationOf(std::string_view value, int slot) {
  if (value == "Null") return 0;
  constexpr std::string_view prefix = "/videos/g";
  if (value.substr(0, prefix.size()) != prefix) return std::nullopt;
  long generation = 0;
  std::size_t i = prefix.size();
  for (; i < value.size() && i < prefix.size() + 12 && value[i] >= '0' && value[i] <= '9'; ++i) {
    generation = generation * 10 + (value[i] - '0');
  }
  if (generation <= 0 || SlotOf(generation) != slot || value != SlotValue(generation)) return std::nullopt;
  return generation;
}

}  // namespace quorrel::test
