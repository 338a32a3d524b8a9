// Helpers for the media benchmark (bench/media/run).
//
//   media_bench_play play <file> <width> <height>
//     Opens <file> with the player on the platform back ends, draws it into
//     a <width> x <height> window at the screen's top-left corner, plays it
//     to its end and exits: the process whose CPU time and peak memory are
//     compared against the mpv command's.
//
//   media_bench_play video-output
//     Prints the mpv options for the video output the back end uses, for
//     the mpv command to use the same.
//
//   media_bench_play first-frame <x> <y> <timeout-ms> <command> [args...]
//     Starts <command>, watches the screen pixel (x, y) until it turns red
//     (the benchmark clip has a red box there) and prints the milliseconds
//     from the start to that moment; then ends the command.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "linux/media/media_backend.h"
#include "linux/media/mpv_device.h"
#include "media/media_player.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Screen {
  xcb_connection_t* connection = nullptr;
  xcb_screen_t* screen = nullptr;

  Screen() {
    int number = 0;
    connection = xcb_connect(nullptr, &number);
    if (xcb_connection_has_error(connection)) {
      std::fprintf(stderr, "no X display\n");
      std::exit(2);
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < number; ++i) xcb_screen_next(&screens);
    screen = screens.data;
  }
  ~Screen() { xcb_disconnect(connection); }

  bool isRed(int x, int y) {
    xcb_get_image_reply_t* image = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), 1, 1, ~0u),
        nullptr);
    if (image == nullptr) return false;
    bool red = false;
    if (xcb_get_image_data_length(image) >= 4) {
      const std::uint8_t* p = xcb_get_image_data(image);
      red = p[2] > 200 && p[1] < 60 && p[0] < 60;
    }
    std::free(image);
    return red;
  }
};

int play(const std::string& file, int width, int height) {
  Screen screen;
  const xcb_window_t window = xcb_generate_id(screen.connection);
  const std::uint32_t values[] = {screen.screen->black_pixel, 1};
  xcb_create_window(screen.connection, XCB_COPY_FROM_PARENT, window, screen.screen->root, 0, 0,
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  xcb_map_window(screen.connection, window);
  xcb_flush(screen.connection);

  // The user-interface thread's queue, drained by this loop as the
  // application's event loop would.
  std::mutex mutex;
  std::deque<std::function<void()>> queue;
  quorrel::linux_desktop::UiPoster poster = [&](std::function<void()> function) {
    std::lock_guard lock(mutex);
    queue.push_back(std::move(function));
  };
  auto drain = [&] {
    while (true) {
      std::function<void()> next;
      {
        std::lock_guard lock(mutex);
        if (queue.empty()) return;
        next = std::move(queue.front());
        queue.pop_front();
      }
      next();
    }
  };

  std::unique_ptr<quorrel::MediaBackend> backend = quorrel::linux_desktop::CreatePlatformMediaBackend(poster);
  quorrel::MediaPlayer player(*backend, window, true);
  player.setFileName(file);
  try {
    player.open();
  } catch (const quorrel::MediaDeviceError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  player.setDisplayRect(quorrel::Rect{0, 0, width, height});
  player.play();
  // The show polls the mode once a second; a tenth of that is plenty here.
  while (player.mode() != quorrel::PlayerMode::Stopped) {
    drain();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return 0;
}

int firstFrame(int x, int y, int timeoutMs, char** command) {
  Screen screen;
  if (screen.isRed(x, y)) {
    std::fprintf(stderr, "the pixel is red before the start\n");
    return 2;
  }
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(command[0], command);
    _exit(127);
  }
  int result = 1;
  while (Clock::now() - start < std::chrono::milliseconds(timeoutMs)) {
    if (screen.isRed(x, y)) {
      const auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      std::printf("%.0f\n", elapsed);
      result = 0;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "video-output") {
    std::printf("--vo=%s --gpu-context=%s\n", quorrel::linux_desktop::MpvDevice::kVideoOutput, quorrel::linux_desktop::MpvDevice::kGpuContext);
    return 0;
  }
  if (mode == "play" && argc == 5) return play(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (mode == "first-frame" && argc >= 6) return firstFrame(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), argv + 5);
  std::fprintf(stderr,
               "usage: media_bench_play play <file> <width> <height>\n"
               "       media_bench_play first-frame <x> <y> <timeout-ms> <command> [args...]\n");
  return 2;
}
