// Times the options dialog on a full list: opening it until it is shown and
// idle, and "Add Entire Folder" on a folder of 1000 videos with the progress
// dialog on screen, beside the same videos stored one write each. Prints
// the figures and the ratio; the goals are wall-clock times.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "linux/base/application.h"
#include "linux/options/options_dialog.h"
#include "options/option_services.h"

namespace {

using namespace quorrel;
using namespace quorrel::linux_desktop;

std::string longPath(int n) {
  std::string path = "/home/someone/Videos/holidays/" + std::to_string(n) + "-";
  path.resize(96, 'v');
  return path + ".avi";
}

void writeSettings(const std::filesystem::path& home, int videos) {
  std::filesystem::create_directories(home / "Quorrel");
  std::ofstream out(home / "Quorrel" / "quorrel4.ini");
  out << "[Options]\nSound=0\nRepeat=0\nStatus=0\nColor=4\nPicdis=5\nPicord=2\nHeight=100\nWidth=100\n[vidConfig]\n";
  for (int n = 1; n <= 1000; ++n) out << "Name" << n << "=" << (n <= videos ? longPath(n) : "Null") << "\n";
  out << "[WavConfig]\n";
  for (int n = 1; n <= 1000; ++n) out << "Name" << n << "=Null\n";
}

// Lets every pending event run, then waits for one turn of an idle loop.
void runUntilIdle(QWidget& window) {
  while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  bool idle = false;
  QTimer::singleShot(0, [&] { idle = true; });
  while (!idle) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

class FolderChooser : public FileChooser {
 public:
  explicit FolderChooser(std::string folder) : folder_(std::move(folder)) {}
  void setVideoStartFolder(const std::string&) override {}
  std::optional<std::string> chooseVideoFile() override { return std::nullopt; }
  std::optional<std::string> chooseSoundFile() override { return std::nullopt; }
  std::optional<std::string> chooseVideoFolder() override { return folder_; }

 private:
  std::string folder_;
};

// Counts the progress dialog's showings and its bar's repaints: the signs
// that the dialog came up and moved.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Paint && qobject_cast<QProgressBar*>(object) != nullptr) ++paints;
    if (event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(object) != nullptr) ++shown;
    return false;
  }
  int paints = 0;
  int shown = 0;
};

// The process's own CPU time in milliseconds: what the machine's load does
// not stretch.
double cpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "xcb", 0);
  const auto scratch = std::filesystem::temp_directory_path() / ("quorrel-config-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(scratch);
  Application app(argc, argv);
  constexpr int kRuns = 5;

  std::vector<double> openTimes;
  std::vector<double> openCpu;
  for (int run = 0; run < kRuns; ++run) {
    writeSettings(scratch, 1000);
    OptionsDialogServices services;
    services.boxes = &app.messageBoxes();
    services.settings = SettingsLocationIn(scratch.string());
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    OptionsDialog form(services);
    form.show();
    runUntilIdle(form);
    openTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    openCpu.push_back(cpuMs() - cpuStart);
  }

  const auto folder = scratch / "videos";
  std::filesystem::create_directories(folder);
  for (int n = 0; n < 1000; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "clip%04d.avi", n);
    std::ofstream(folder / name) << "x";
  }
  std::vector<double> addTimes;
  std::vector<double> addCpu;
  std::vector<int> paints;
  std::vector<int> shown;
  std::size_t added = 0;
  for (int run = 0; run < 3; ++run) {
    writeSettings(scratch, 0);
    FolderChooser chooser(folder.string());
    OptionsDialogServices services;
    services.boxes = &app.messageBoxes();
    services.settings = SettingsLocationIn(scratch.string());
    services.chooser = &chooser;
    OptionsDialog form(services);
    form.show();
    runUntilIdle(form);
    PaintCounter counter;
    app.installEventFilter(&counter);
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    form.addEntireFolder();
    addTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    addCpu.push_back(cpuMs() - cpuStart);
    app.removeEventFilter(&counter);
    paints.push_back(counter.paints);
    shown.push_back(counter.shown);
    added = form.videoList().entries().size();
  }
  // The same 1000 videos stored one write each, as "Add Video" stores its
  // one and as the folder add once did: the side-by-side reference.
  std::vector<double> singleTimes;
  for (int run = 0; run < 3; ++run) {
    writeSettings(scratch, 0);
    OptionsDialogServices services;
    services.boxes = &app.messageBoxes();
    services.settings = SettingsLocationIn(scratch.string());
    OptionsDialog form(services);
    form.show();
    runUntilIdle(form);
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    QElapsedTimer timer;
    timer.start();
    for (const std::string& path : paths) (void)form.videoList().storeInFreeSlot(path, true);
    QApplication::processEvents();
    singleTimes.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::filesystem::remove_all(scratch);

  std::printf("Options dialog, list of 1000 videos (100-byte paths), %d runs.\n", kRuns);
  std::printf("  open until shown and idle      wall median %7.1f ms, best %7.1f ms; CPU median %7.1f ms"
              "   (goal 300 ms)\n",
              median(openTimes), *std::min_element(openTimes.begin(), openTimes.end()), median(openCpu));
  std::printf("  Add Entire Folder, 1000 files  wall median %7.1f ms, best %7.1f ms; CPU median %7.1f ms"
              "   (goal 150 ms)\n",
              median(addTimes), *std::min_element(addTimes.begin(), addTimes.end()), median(addCpu));
  std::printf("    %zu videos added; the progress dialog was shown in %d of %zu runs, its bar repainted at least %d "
              "times while adding\n",
              added, static_cast<int>(std::count_if(shown.begin(), shown.end(), [](int n) { return n > 0; })),
              shown.size(), *std::min_element(paints.begin(), paints.end()));
  std::printf("  the same, one write per video  wall median %7.1f ms; the folder add takes %.3fx of it\n",
              median(singleTimes), median(addTimes) / median(singleTimes));
  return 0;
}
