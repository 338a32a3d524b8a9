// Watches the screen while a command runs, for bench/show/run.
//
//   show_bench_probe first-frame <x> <y> <timeout-ms> <command> [args...]
//     Milliseconds from starting the command until the pixel (x, y) turns
//     red (the benchmark clip's marker); then ends the command.
//
//   show_bench_probe whole-frame <x1> <y1> <x2> <y2> <timeout-ms> <command> [args...]
//     The same until both pixels are red: markers in opposite corners of
//     the clip, so that a first picture drawn into a window that has not
//     yet reached its size does not count.
//
//   show_bench_probe frames <x1> <y1> <x2> <y2> <timeout-ms> <command> [args...]
//     Both in one run: the milliseconds until (x1, y1) turns red, and until
//     both pixels are, on one line; "nan nan" when the time runs out.
//
//   show_bench_probe cpu <seconds> <command> [args...]
//     CPU seconds (user + system, threads included) that the command has
//     used after running for <seconds>; then ends it with SIGTERM.
//
//   show_bench_probe together <seconds> <command> [args...] [+ <command> [args...]]...
//     Starts every command at once (a lone "+" separates them) and, after
//     <seconds>, prints the CPU seconds all of them have used together and
//     their memory together: proportional set size (shared pages split
//     between the processes that share them) and resident set size, in
//     kilobytes; then ends them.
//
//   show_bench_probe gaps <x> <y> <changes> <tail-ms> <timeout-ms> <command> [args...]
//     The command plays a clip that is red and ends with <tail-ms> of green,
//     again and again. For each change, the time from the end of the clip
//     (green seen, plus the tail) to its next first frame (red again), in
//     milliseconds, one line each; then ends the command.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/linux/watched_command.h"

namespace {

using quorrel::bench::Clock;
using quorrel::bench::cpuSeconds;
using quorrel::bench::finish;
using quorrel::bench::launch;
using quorrel::bench::millisecondsSince;

enum class Colour { Red, Green, Other };

class Screen {
 public:
  Screen() {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
      std::fprintf(stderr, "no X display\n");
      std::exit(2);
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
  }
  ~Screen() { xcb_disconnect(connection_); }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  Colour at(int x, int y) {
    xcb_get_image_reply_t* image =
        xcb_get_image_reply(connection_,
                            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(x),
                                          static_cast<std::int16_t>(y), 1, 1, ~0U),
                            nullptr);
    if (image == nullptr) return Colour::Other;
    Colour colour = Colour::Other;
    if (xcb_get_image_data_length(image) >= 4) {
      const std::uint8_t* p = xcb_get_image_data(image);  // blue, green, red
      if (p[2] > 200 && p[1] < 60 && p[0] < 60) colour = Colour::Red;
      if (p[2] < 60 && p[1] > 200 && p[0] < 60) colour = Colour::Green;
    }
    std::free(image);
    return colour;
  }

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_;
};

struct Point {
  int x;
  int y;
};

int firstFrame(const std::vector<Point>& markers, int timeoutMs, char** command) {
  Screen screen;
  const auto start = Clock::now();
  const pid_t child = launch(command);
  int result = 1;
  auto allRed = [&] {
    for (const Point& marker : markers) {
      if (screen.at(marker.x, marker.y) != Colour::Red) return false;
    }
    return true;
  };
  while (millisecondsSince(start) < timeoutMs) {
    if (allRed()) {
      std::printf("%.0f\n", millisecondsSince(start));
      result = 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  finish(child);
  return result;
}

int frames(const Point& first, const Point& second, int timeoutMs, char** command) {
  Screen screen;
  const auto start = Clock::now();
  const pid_t child = launch(command);
  double firstSeen = -1;
  double bothSeen = -1;
  while (millisecondsSince(start) < timeoutMs) {
    if (firstSeen < 0 && screen.at(first.x, first.y) == Colour::Red) firstSeen = millisecondsSince(start);
    if (firstSeen >= 0 && screen.at(second.x, second.y) == Colour::Red) {
      bothSeen = millisecondsSince(start);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  finish(child);
  if (bothSeen < 0) {
    std::printf("nan nan\n");
    return 1;
  }
  std::printf("%.0f %.0f\n", firstSeen, bothSeen);
  return 0;
}

int cpu(double seconds, char** command) {
  const pid_t child = launch(command);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  std::printf("%.2f\n", cpuSeconds(child));
  finish(child);
  return 0;
}

// A "Name:   1234 kB" line of a /proc file, in kilobytes.
long kilobytes(const std::string& path, const std::string& name) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(name + ":", 0) == 0) return std::atol(line.c_str() + name.size() + 1);
  }
  return 0;
}

int together(double seconds, int count, char** arguments) {
  std::vector<pid_t> children;
  char** command = arguments;
  for (int n = 0; n <= count; ++n) {
    if (n == count || std::string(arguments[n]) == "+") {
      arguments[n] = nullptr;
      children.push_back(launch(command));
      command = arguments + n + 1;
    }
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  double cpu = 0;
  long pss = 0;
  long rss = 0;
  for (const pid_t child : children) {
    cpu += cpuSeconds(child);
    const std::string proc = "/proc/" + std::to_string(child);
    pss += kilobytes(proc + "/smaps_rollup", "Pss");
    rss += kilobytes(proc + "/status", "VmRSS");
  }
  std::printf("%.2f %ld %ld\n", cpu, pss, rss);
  for (const pid_t child : children) finish(child);
  return 0;
}

int gaps(int x, int y, int changes, int tailMs, int timeoutMs, char** command) {
  Screen screen;
  const auto start = Clock::now();
  const pid_t child = launch(command);
  Colour last = Colour::Other;
  double greenAt = -1;
  int measured = 0;
  while (measured < changes && millisecondsSince(start) < timeoutMs) {
    const Colour now = screen.at(x, y);
    if (now != last) {
      if (now == Colour::Green) greenAt = millisecondsSince(start);
      if (now == Colour::Red && last != Colour::Red && greenAt >= 0) {
        std::printf("%.0f\n", millisecondsSince(start) - greenAt - tailMs);
        std::fflush(stdout);
        ++measured;
        greenAt = -1;
      }
      last = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  finish(child);
  return measured == changes ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "first-frame" && argc >= 6) {
    return firstFrame({{std::atoi(argv[2]), std::atoi(argv[3])}}, std::atoi(argv[4]), argv + 5);
  }
  if (mode == "whole-frame" && argc >= 8) {
    return firstFrame({{std::atoi(argv[2]), std::atoi(argv[3])}, {std::atoi(argv[4]), std::atoi(argv[5])}},
                      std::atoi(argv[6]), argv + 7);
  }
  if (mode == "frames" && argc >= 8) {
    return frames({std::atoi(argv[2]), std::atoi(argv[3])}, {std::atoi(argv[4]), std::atoi(argv[5])},
                  std::atoi(argv[6]), argv + 7);
  }
  if (mode == "cpu" && argc >= 4) return cpu(std::atof(argv[2]), argv + 3);
  if (mode == "together" && argc >= 4) return together(std::atof(argv[2]), argc - 3, argv + 3);
  if (mode == "gaps" && argc >= 8) {
    return gaps(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]),
                argv + 7);
  }
  std::fprintf(stderr,
               "usage: show_bench_probe first-frame <x> <y> <timeout-ms> <command...>\n"
               "       show_bench_probe whole-frame <x1> <y1> <x2> <y2> <timeout-ms> <command...>\n"
               "       show_bench_probe frames <x1> <y1> <x2> <y2> <timeout-ms> <command...>\n"
               "       show_bench_probe cpu <seconds> <command...>\n"
               "       show_bench_probe together <seconds> <command...> [+ <command...>]...\n"
               "       show_bench_probe gaps <x> <y> <changes> <tail-ms> <timeout-ms> <command...>\n");
  return 2;
}
