// A second process for the settings store's process tests: it writes the
// video slots of a settings file through the store, one slot per write.
//
//   settings_writer loop <file> <first generation>   writes until killed
//   settings_writer count <file> <writes>            writes, then exits
//
// Write number g puts SlotValue(g) into slot g % 10 + 1.

#include <cstdlib>
#include <iostream>
#include <string>

#include "settings/settings_file.h"
#include "tests/core/settings/slot_values.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: settings_writer loop|count <file> <number>\n";
    return 2;
  }
  const std::string mode = argv[1];
  quorrel::SettingsFile file(argv[2]);
  const long number = std::atol(argv[3]);
  const long first = mode == "loop" ? number : 1;
  const long last = mode == "loop" ? -1 : number;
  for (long g = first; last < 0 || g <= last; ++g) {
    file.writeText("vidConfig", quorrel::test::SlotKey(g), quorrel::test::SlotValue(g));
  }
  return 0;
}
