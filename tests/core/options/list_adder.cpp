// A second options dialog for the list's process test, without a window:
// it loads the list from the settings file, waits until the test says go,
// then adds videos one after another.
//
//   list_adder <settings file> <name prefix> <count> <go file>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "base/messages.h"
#include "options/options_model.h"
#include "options/video_list.h"
#include "settings/settings_file.h"

namespace {

class NoBoxes : public quorrel::MessageBoxes {
 public:
  void showMessage(quorrel::MessageKind /*kind*/, const std::string& text) override { std::cerr << text << "\n"; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: list_adder <settings file> <prefix> <count> <go file>\n";
    return 2;
  }
  NoBoxes boxes;
  quorrel::VideoList list(argv[1], boxes, {"avi"});
  (void)quorrel::LoadOptions(quorrel::SettingsFile(argv[1]), list.videoSlots());
  list.fillFromSlots();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(argv[4])) {
    if (std::chrono::steady_clock::now() > deadline) return 3;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const int count = std::stoi(argv[3]);
  for (int i = 1; i <= count; ++i) {
    if (!list.storeInFreeSlot(std::string(argv[2]) + std::to_string(i) + ".avi", true)) return 4;
  }
  return 0;
}
