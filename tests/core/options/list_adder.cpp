// A second options dialog for the list's process test, without a window:
// it loads the list from the settings file, waits until the test says go,
// then adds videos one after another, or a whole folder of them.
//
//   list_adder videos <settings file> <name prefix> <count> <go file>
//   list_adder folder <settings file> <folder> <count> <go file>
//
// Exits with 0 when every video was added, to the file and to its own list.

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "base/messages.h"
#include "options/option_services.h"
#include "options/options_model.h"
#include "options/video_list.h"
#include "settings/settings_file.h"

namespace {

class NoBoxes : public quorrel::MessageBoxes {
 public:
  void showMessage(quorrel::MessageKind /*kind*/, const std::string& text) override { std::cerr << text << "\n"; }
};

class NoProgress : public quorrel::TaskProgress {
 public:
  void begin(std::size_t /*total*/) override {}
  bool advance(std::size_t /*done*/) override { return true; }
  void end() override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: list_adder videos|folder <settings file> <prefix or folder> <count> <go file>\n";
    return 2;
  }
  const std::string mode = argv[1];
  NoBoxes boxes;
  quorrel::VideoList list(argv[2], boxes, {"avi"});
  (void)quorrel::LoadOptions(quorrel::SettingsFile(argv[2]), list.videoSlots());
  list.fillFromSlots();
  const std::size_t before = list.entries().size();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(argv[5])) {
    if (std::chrono::steady_clock::now() > deadline) return 3;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const int count = std::stoi(argv[4]);
  if (mode == "folder") {
    NoProgress progress;
    const quorrel::FolderAddResult result = list.addFolder(argv[3], progress);
    if (result.added != static_cast<std::size_t>(count) || result.listFull || result.cancelled) return 4;
  } else {
    for (int i = 1; i <= count; ++i) {
      if (!list.storeInFreeSlot(std::string(argv[3]) + std::to_string(i) + ".avi", true)) return 4;
    }
  }
  return list.entries().size() == before + static_cast<std::size_t>(count) ? 0 : 5;
}
