// Watches a video command through dark spells, for bench/linux/power/run.
// The command runs with the DPMS stand-in preloaded by the caller; the
// probe switches the display off and on by writing the stand-in's file.
//
//   power_bench_probe cpu <level-file> <seconds> <command> [args...]
//     Starts the command with the display on, lets it play for five
//     seconds, then prints two numbers: the processor seconds it uses per
//     minute while playing and while the display is off, each measured
//     over <seconds>, the second after the first two seconds of the dark
//     spell. Then ends the command.
//
//   power_bench_probe wake <level-file> <runs> <motion> <command> [args...]
//     Starts the command, waits until the screen's centre moves, and then,
//     <runs> times: switches the display off, waits until the picture has
//     stood still for a second and a little longer each time, switches it
//     on (and with <motion> 1 moves the pointer as a user waking the
//     display would) and prints the milliseconds until the picture moves
//     again. Then ends the command.
//
//   power_bench_probe decoder <file>
//     Plays <file> for a moment through the media back end, as the show
//     does, and prints the decoder in use ("no" for software decoding).

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/linux/watched_command.h"
#include "linux/media/mpv_device.h"
#include "linux/media/mpv_engine.h"
#include "linux/media/x11_video_window.h"

namespace {

using quorrel::bench::Clock;
using quorrel::bench::cpuSeconds;
using quorrel::bench::finish;
using quorrel::bench::launch;
using quorrel::bench::millisecondsSince;
using std::chrono::milliseconds;

// The middle 320 by 240 pixels of the screen, as bytes to compare.
class Screen {
 public:
  Screen() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
      std::fprintf(stderr, "no X display\n");
      std::exit(2);
    }
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
  }
  ~Screen() { xcb_disconnect(connection_); }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  std::string centre() {
    const int width = 320;
    const int height = 240;
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, screen_->root,
                      static_cast<std::int16_t>((screen_->width_in_pixels - width) / 2),
                      static_cast<std::int16_t>((screen_->height_in_pixels - height) / 2), width, height, ~0U),
        nullptr);
    if (image == nullptr) return {};
    std::string bytes(reinterpret_cast<const char*>(xcb_get_image_data(image)),
                      static_cast<std::size_t>(xcb_get_image_data_length(image)));
    std::free(image);
    return bytes;
  }

 private:
  xcb_connection_t* connection_;
  xcb_screen_t* screen_;
};

void setLevel(const std::string& file, const std::string& level) {
  const std::string temporary = file + ".new";
  std::ofstream(temporary) << level << "\n";
  std::filesystem::rename(temporary, file);
}

double cpuPerMinute(pid_t pid, double seconds) {
  const double before = cpuSeconds(pid);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return (cpuSeconds(pid) - before) * 60.0 / seconds;
}

int cpu(const std::string& levelFile, double seconds, char** command) {
  setLevel(levelFile, "on");
  const pid_t child = launch(command);
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const double playing = cpuPerMinute(child, seconds);
  setLevel(levelFile, "off");
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double dark = cpuPerMinute(child, seconds);
  std::printf("%.2f %.2f\n", playing, dark);
  setLevel(levelFile, "on");
  finish(child);
  return 0;
}

// Polls the screen's centre until `done` says so or `timeout` passes.
bool watch(Screen& screen, milliseconds timeout, const std::function<bool(const std::string&)>& done) {
  const auto start = Clock::now();
  while (Clock::now() - start < timeout) {
    if (done(screen.centre())) return true;
    std::this_thread::sleep_for(milliseconds(2));
  }
  return false;
}

int wake(const std::string& levelFile, int runs, bool motion, char** command) {
  Screen screen;
  setLevel(levelFile, "on");
  const pid_t child = launch(command);
  std::string last;
  const auto moves = [&](const std::string& now) {
    const bool moved = !last.empty() && now != last;
    last = now;
    return moved;
  };
  if (!watch(screen, milliseconds(30000), moves)) {
    std::fprintf(stderr, "the picture never moved\n");
    finish(child);
    return 1;
  }
  int result = 0;
  for (int run = 0; run < runs && result == 0; ++run) {
    setLevel(levelFile, "off");
    std::string still = screen.centre();
    auto stillSince = Clock::now();
    const bool paused = watch(screen, milliseconds(10000), [&](const std::string& now) {
      if (now != still) {
        still = now;
        stillSince = Clock::now();
      }
      return Clock::now() - stillSince >= milliseconds(1000);
    });
    if (!paused) {
      std::fprintf(stderr, "the picture never stood still\n");
      result = 1;
      break;
    }
    // The spells end at different points between two of the show's polls,
    // so that the times spread over the poll's whole interval instead of
    // locking to one phase of it.
    std::this_thread::sleep_for(milliseconds(run * 1000 / runs));
    const auto start = Clock::now();
    setLevel(levelFile, "on");
    // A failed nudge shows as a spell that only the poll ends.
    if (motion) (void)!std::system("xdotool mousemove_relative -- 3 3");
    if (watch(screen, milliseconds(10000), [&](const std::string& now) { return now != still; })) {
      std::printf("%.0f\n", millisecondsSince(start));
      std::fflush(stdout);
    } else {
      std::fprintf(stderr, "the picture did not move again\n");
      result = 1;
    }
    // Some frames of playing between the spells.
    std::this_thread::sleep_for(milliseconds(1500));
  }
  finish(child);
  return result;
}

int decoder(const std::string& file) {
  using namespace quorrel::linux_desktop;
  std::unique_ptr<X11Connection> x11 = X11Connection::Open();
  if (!x11) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  std::mutex mutex;
  std::deque<std::function<void()>> queue;
  UiPoster poster = [&](std::function<void()> function) {
    std::lock_guard lock(mutex);
    queue.push_back(std::move(function));
  };
  auto pool = std::make_shared<MpvEnginePool>(poster, MediaAudio::Off);
  std::uint32_t code = 0;
  std::unique_ptr<quorrel::MediaDevice> device = MpvDevice::Open(file, x11.get(), pool, code);
  if (!device) {
    std::fprintf(stderr, "cannot open %s: %u\n", file.c_str(), code);
    return 1;
  }
  (void)device->play();
  std::this_thread::sleep_for(milliseconds(1000));
  std::printf("%s\n", static_cast<MpvDevice&>(*device).videoDecoder().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "cpu" && argc >= 5) return cpu(argv[2], std::atof(argv[3]), argv + 4);
  if (mode == "wake" && argc >= 6) return wake(argv[2], std::atoi(argv[3]), std::atoi(argv[4]) != 0, argv + 5);
  if (mode == "decoder" && argc == 3) return decoder(argv[2]);
  std::fprintf(stderr,
               "usage: power_bench_probe cpu <level-file> <seconds> <command...>\n"
               "       power_bench_probe wake <level-file> <runs> <motion> <command...>\n"
               "       power_bench_probe decoder <file>\n");
  return 2;
}
