// Stands in for Windows' screen saver settings in the tests: a window
// "Quorrel Preview Host" with a 320 x 240 client area, at (100, 100), whose
// handle it hands to Quorrel as the settings hand theirs: for the preview
// ("quorrel.scr /p HANDLE" or "/p:HANDLE") or for the settings
// ("quorrel.scr /c:HANDLE").
//   preview_host SCR space|colon|settings SEEN STOP [MILLISECONDS]
// Ten times a second it writes to the file SEEN what it sees, a fact a
// line:
//   CLASS LEFT TOP WIDTH HEIGHT visible|hidden
//                   a window of another process in its client area (in
//                   the client area's coordinates)
//   owned CLASS     a top-level window of another process that it owns
//   host enabled|disabled
//   host foreground when its window is the foreground window
//   handle N        its window's handle, as handed to Quorrel
//   cpu N           the milliseconds of processor time Quorrel has used
// While the file STOP.hide exists its window is hidden, and shown again
// once it goes. Once the file STOP exists, or MILLISECONDS after Quorrel
// was started when they are given, it destroys its window and gives
// Quorrel a second to end.
// Exit status: 0 when Quorrel ended within that second, 2 when it did not,
// 3 when a preview ended before the window went, 1 when it could not start.
// A Quorrel still running is ended, but for a window destroyed after
// MILLISECONDS.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT_PTR kLookTimer = 1;
constexpr UINT_PTR kDestroyTimer = 2;
HANDLE quorrel = nullptr;
std::wstring seenFile;
std::wstring stopFile;
std::wstring hideFile;
bool settings = false;
int status = 1;
HWND host = nullptr;

bool exists(const std::wstring& file) { return ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ownedByAnother(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process != ::GetCurrentProcessId();
}

BOOL CALLBACK describeChild(HWND child, LPARAM lines) {
  if (!ownedByAnother(child)) return TRUE;
  wchar_t name[64] = {};
  ::GetClassNameW(child, name, 64);
  RECT place{};
  ::GetWindowRect(child, &place);
  ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&place), 2);
  char line[200];
  std::snprintf(line, sizeof line, "%ls %ld %ld %ld %ld %s\n", name, place.left, place.top, place.right - place.left,
                place.bottom - place.top, ::IsWindowVisible(child) ? "visible" : "hidden");
  *reinterpret_cast<std::string*>(lines) += line;
  return TRUE;
}

BOOL CALLBACK describeOwned(HWND window, LPARAM lines) {
  if (::GetWindow(window, GW_OWNER) != host || !ownedByAnother(window)) return TRUE;
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  char line[100];
  std::snprintf(line, sizeof line, "owned %ls\n", name);
  *reinterpret_cast<std::string*>(lines) += line;
  return TRUE;
}

std::uint64_t processorMilliseconds() {
  FILETIME created{}, ended{}, kernel{}, user{};
  if (!::GetProcessTimes(quorrel, &created, &ended, &kernel, &user)) return 0;
  auto units = [](const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return (units(kernel) + units(user)) / 10000;
}

void writeWhatIsSeen() {
  std::string lines;
  ::EnumChildWindows(host, &describeChild, reinterpret_cast<LPARAM>(&lines));
  ::EnumWindows(&describeOwned, reinterpret_cast<LPARAM>(&lines));
  lines += ::IsWindowEnabled(host) ? "host enabled\n" : "host disabled\n";
  if (::GetForegroundWindow() == host) lines += "host foreground\n";
  lines += "handle " + std::to_string(reinterpret_cast<std::uintptr_t>(host)) + "\n";
  lines += "cpu " + std::to_string(processorMilliseconds()) + "\n";
  const std::wstring partial = seenFile + L".part";
  if (FILE* file = _wfopen(partial.c_str(), L"wb")) {
    std::fwrite(lines.data(), 1, lines.size(), file);
    std::fclose(file);
    ::MoveFileExW(partial.c_str(), seenFile.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

void destroyAndWait(HWND window) {
  ::KillTimer(window, kLookTimer);
  ::KillTimer(window, kDestroyTimer);
  ::DestroyWindow(window);
  const DWORD ended = ::WaitForSingleObject(quorrel, 1000);
  status = ended == WAIT_OBJECT_0 ? 0 : 2;
  std::printf(status == 0 ? "Quorrel ended within a second\n" : "Quorrel still runs a second later\n");
}

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kDestroyTimer) {
    destroyAndWait(window);
    return 0;
  }
  if (message == WM_TIMER && wParam == kLookTimer) {
    writeWhatIsSeen();
    const bool hidden = exists(hideFile);
    if (hidden == (::IsWindowVisible(window) != FALSE)) ::ShowWindow(window, hidden ? SW_HIDE : SW_SHOWNOACTIVATE);
    if (!settings && ::WaitForSingleObject(quorrel, 0) == WAIT_OBJECT_0) {
      std::printf("Quorrel ended before its host's window went\n");
      status = 3;
      ::DestroyWindow(window);
    } else if (exists(stopFile)) {
      destroyAndWait(window);
    }
    return 0;
  }
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) return 1;
  const std::wstring form = argv[2];
  settings = form == L"settings";
  seenFile = argv[3];
  stopFile = argv[4];
  hideFile = stopFile + L".hide";
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = hostProcedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = L"QuorrelPreviewHost";
  ::RegisterClassW(&windowClass);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN;
  RECT place{100, 100, 420, 340};
  ::AdjustWindowRect(&place, style, FALSE);
  host = ::CreateWindowW(L"QuorrelPreviewHost", L"Quorrel Preview Host", style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                         ::GetModuleHandleW(nullptr), nullptr);
  if (host == nullptr) return 1;
  const std::wstring handle = std::to_wstring(reinterpret_cast<std::uintptr_t>(host));
  const std::wstring switches = settings ? L"/c:" + handle : form == L"colon" ? L"/p:" + handle : L"/p " + handle;
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\" " + switches;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return 1;
  }
  ::CloseHandle(process.hThread);
  quorrel = process.hProcess;
  ::SetTimer(host, kLookTimer, 100, nullptr);
  if (argc > 5) ::SetTimer(host, kDestroyTimer, static_cast<UINT>(std::wcstoul(argv[5], nullptr, 10)), nullptr);
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // A preview that outlived a host destroyed on a timer is left for the
  // test to find.
  if (status != 0 && argc <= 5) ::TerminateProcess(quorrel, 0);
  ::CloseHandle(quorrel);
  std::fflush(stdout);
  return status;
}
