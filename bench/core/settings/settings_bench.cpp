// Speed of the settings store on a full video list: 1000 slots, each a
// 100-character path.
//  - ShowReadSequence: every read the show makes at start-up, in its order.
//    The file was written well before (the usual case: the dialog saved it
//    minutes or days ago), so the read cache serves it after one stat.
//  - ShowReadSequenceJustWritten: the same right after another process
//    replaced the file, when the cache must not yet trust the file's times
//    and every read parses the file afresh: the worst case.
//  - WriteDefaultSettings on a missing file.
//  - SlotWrite: one slot written into the full file.
//  - FsyncOfFullFile: what a flush to disk would add to each write.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "base/messages.h"
#include "settings/data_folder.h"
#include "settings/profile.h"
#include "settings/settings_file.h"

namespace {

using quorrel::SettingsFile;

struct NoBoxes : quorrel::MessageBoxes {
  void showMessage(quorrel::MessageKind, const std::string&) override {}
};

const std::string& scratchFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorrel-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return folder;
}

std::string slotPath(int n) {
  std::string path = "/home/user/Videos/holiday-" + std::to_string(n) + "/";
  path.resize(96, 'v');
  return path + ".avi";
}

// The default file with every video slot filled.
std::string fullFile() {
  const std::string path = scratchFolder() + "/full.ini";
  std::filesystem::remove(path);
  const quorrel::SettingsLocation location = quorrel::SettingsLocationIn(scratchFolder());
  NoBoxes boxes;
  quorrel::SetupDataFolder(location, boxes);
  std::filesystem::copy_file(location.SettingsFileName, path);
  SettingsFile file(path);
  file.applyChanges([](quorrel::Profile& profile) {
    for (int n = 1; n <= 1000; ++n) profile.set("vidConfig", "Name" + std::to_string(n), slotPath(n));
  });
  return path;
}

std::size_t showReads(const SettingsFile& file) {
  std::size_t total = 0;
  total += static_cast<std::size_t>(file.readNumber("Options", "Starton", -1));
  total += static_cast<std::size_t>(file.readNumber("Options", "Endon", -1));
  total += file.readFlag("Options", "Sound", true) ? 1 : 0;
  total += file.readFlag("Options", "Repeat", true) ? 1 : 0;
  total += static_cast<std::size_t>(file.readNumber("Options", "Picdis", -1));
  total += static_cast<std::size_t>(file.readNumber("Options", "Picord", -1));
  total += static_cast<std::size_t>(file.readNumber("Options", "Height", -1));
  total += static_cast<std::size_t>(file.readNumber("Options", "Width", -1));
  for (int n = 1; n <= 1000; ++n) total += file.readText("vidConfig", "Name" + std::to_string(n), " ").size();
  total += file.readText("WavConfig", "Name1", " ").size();
  return total;
}

void ShowReadSequence(benchmark::State& state) {
  const std::string path = fullFile();
  // Let the file's times settle, as they have when the show starts.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  SettingsFile file(path);
  for (auto _ : state) benchmark::DoNotOptimize(showReads(file));
  if (showReads(file) < 100000) state.SkipWithError("the slots did not read back");
}
BENCHMARK(ShowReadSequence)->Unit(benchmark::kMillisecond)->UseRealTime();

void ShowReadSequenceJustWritten(benchmark::State& state) {
  const std::string path = fullFile();
  SettingsFile file(path);
  for (auto _ : state) {
    state.PauseTiming();
    // Another process replaces the file with the same contents.
    const std::string copy = path + ".new";
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::rename(copy, path);
    state.ResumeTiming();
    benchmark::DoNotOptimize(showReads(file));
  }
}
BENCHMARK(ShowReadSequenceJustWritten)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void WriteDefaultSettings(benchmark::State& state) {
  const quorrel::SettingsLocation location = quorrel::SettingsLocationIn(scratchFolder());
  NoBoxes boxes;
  quorrel::SetupDataFolder(location, boxes);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(location.SettingsFileName);
    state.ResumeTiming();
    quorrel::WriteDefaultSettings(location.SettingsFileName);
  }
}
BENCHMARK(WriteDefaultSettings)->Unit(benchmark::kMillisecond)->UseRealTime();

void SlotWrite(benchmark::State& state) {
  const std::string path = fullFile();
  SettingsFile file(path);
  int n = 0;
  for (auto _ : state) {
    n = n % 1000 + 1;
    file.writeText("VidConfig", "Name" + std::to_string(n), slotPath(1001 - n));
  }
}
BENCHMARK(SlotWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// A full file written and flushed to disk (file, then its folder), the way
// an fsync-before-rename write would do it.
void FsyncOfFullFile(benchmark::State& state) {
  const std::string path = fullFile();
  const std::string contents = [&] {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY);
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
  }();
  const std::string temporary = path + ".sync";
  for (auto _ : state) {
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) std::abort();
    ::fsync(fd);
    ::close(fd);
    ::rename(temporary.c_str(), path.c_str());
    const int folder = ::open(scratchFolder().c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(folder);
    ::close(folder);
  }
}
BENCHMARK(FsyncOfFullFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(scratchFolder());
  return 0;
}
