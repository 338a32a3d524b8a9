// The Windows media benchmark's player (bench/windows/media/run), run under
// Wine:
//
//   wine_media_bench engine|mci <file> <width> <height> <seconds>
//
// Plays <file> through one back end (the Media Engine or MCI, as the show
// would) stretched over a <width> x <height> window at the screen's
// top-left corner. It opens and starts the file three times and times each
// from the open to the first frame on screen, which the benchmark clips
// mark with a red box in their top-left corner; the first time also starts
// the back end itself. Then it plays the file once more for <seconds>
// after its first frame and measures the process's CPU time over them,
// every thread of the process counted (Wine's decoders run in it).
// Prints one line: the first time, the mean of the other two (both in
// milliseconds) and the CPU time as a share of one core in per cent.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "media/media_player.h"
#include "windows/media/mci_device.h"
#include "windows/media/media_engine_device.h"
#include "windows/system/utf16.h"

namespace {

using namespace quorrel;
using namespace quorrel::windows_desktop;
using Clock = std::chrono::steady_clock;

HWND MakePanel(int width, int height) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"QuorrelBenchWindow";
  ::RegisterClassW(&wc);
  HWND top = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"media bench", WS_POPUP | WS_VISIBLE, 0, 0, width,
                               height, nullptr, nullptr, wc.hInstance, nullptr);
  // The panel draws no children over, as the show's panel does.
  return ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, top, nullptr,
                           wc.hInstance, nullptr);
}

void PumpFor(std::chrono::milliseconds wait) {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait.count()), QS_ALLINPUT);
}

// Whether the panel shows the clip's red mark near its top-left corner.
bool ShowsMark(HWND panel) {
  HDC dc = ::GetDC(panel);
  const COLORREF colour = ::GetPixel(dc, 8, 8);
  ::ReleaseDC(panel, dc);
  return colour != CLR_INVALID && GetRValue(colour) > 180 && GetGValue(colour) < 70 && GetBValue(colour) < 70;
}

// Opens and starts the file, and waits for its first frame; the
// milliseconds that took, or -1 after 60 s without it.
double StartAndWait(MediaPlayer& player, HWND panel, int width, int height) {
  // The panel is cleared first, so that the last run's frame is not taken
  // for this run's.
  ::InvalidateRect(panel, nullptr, TRUE);
  ::UpdateWindow(panel);
  const Clock::time_point start = Clock::now();
  player.open();
  player.setDisplayRect(Rect{0, 0, width, height});
  player.play();
  while (!ShowsMark(panel)) {
    if (Clock::now() - start > std::chrono::seconds(60)) return -1;
    PumpFor(std::chrono::milliseconds(2));
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double ProcessCpuSeconds() {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: wine_media_bench engine|mci <file> <width> <height> <seconds>\n");
    return 2;
  }
  const std::wstring backendName = argv[1];
  const std::string file = Narrow(argv[2]);
  const int width = std::wcstol(argv[3], nullptr, 10);
  const int height = std::wcstol(argv[4], nullptr, 10);
  const int seconds = std::wcstol(argv[5], nullptr, 10);
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::unique_ptr<MediaBackend> backend =
      backendName == L"engine" ? std::unique_ptr<MediaBackend>(CreateMediaEngineBackend()) : CreateMciBackend();
  const HWND panel = MakePanel(width, height);
  MediaPlayer player(*backend, reinterpret_cast<NativeWindow>(panel), true);
  player.setFileName(file);

  double times[3] = {};
  try {
    for (double& time : times) {
      time = StartAndWait(player, panel, width, height);
      player.close();
    }
    if (StartAndWait(player, panel, width, height) < 0) throw MediaDeviceError("no first frame");
  } catch (const MediaDeviceError& error) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), error.what());
    return 1;
  }
  const double cpuBefore = ProcessCpuSeconds();
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(seconds)) PumpFor(std::chrono::milliseconds(5));
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const bool stillPlaying = player.mode() == PlayerMode::Playing;
  player.close();
  if (!stillPlaying) {
    std::fprintf(stderr, "%s: ended before the CPU time was measured\n", file.c_str());
    return 1;
  }
  std::printf("%.0f %.0f %.1f\n", times[0], (times[1] + times[2]) / 2,
              100.0 * cpu / wall);
  ::CoUninitialize();
  return 0;
}
