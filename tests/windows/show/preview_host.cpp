// Stands in for Windows' screen saver settings in the tests: a window
// "Quorrel Preview Host" with a 320 x 240 client area, at (100, 100), whose
// handle it hands to "quorrel.scr /p HANDLE" (or "/p:HANDLE"), as the
// settings hand theirs. Ten times a second it writes to the file SEEN what
// it finds in its client area: the windows of other processes there, each
// on a line as "CLASS LEFT TOP WIDTH HEIGHT" (in the client area's
// coordinates), "visible" or "hidden". Once the file STOP exists, it
// destroys its window and gives Quorrel a second to end.
//   preview_host SCR space|colon SEEN STOP
// Exit status: 0 when Quorrel ended within that second, 2 when it did not,
// 3 when it ended before the window went, 1 when it could not start.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr UINT_PTR kStopTimer = 1;
HANDLE quorrel = nullptr;
std::wstring seenFile;
std::wstring stopFile;
int status = 1;
HWND host = nullptr;

BOOL CALLBACK describeChild(HWND child, LPARAM lines) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(child, &process);
  if (process == ::GetCurrentProcessId()) return TRUE;
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

void writeWhatIsSeen() {
  std::string lines;
  ::EnumChildWindows(host, &describeChild, reinterpret_cast<LPARAM>(&lines));
  const std::wstring partial = seenFile + L".part";
  if (FILE* file = _wfopen(partial.c_str(), L"wb")) {
    std::fwrite(lines.data(), 1, lines.size(), file);
    std::fclose(file);
    ::MoveFileExW(partial.c_str(), seenFile.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kStopTimer) {
    writeWhatIsSeen();
    if (::WaitForSingleObject(quorrel, 0) == WAIT_OBJECT_0) {
      std::printf("Quorrel ended before its host's window went\n");
      status = 3;
      ::DestroyWindow(window);
    } else if (::GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ::KillTimer(window, kStopTimer);
      ::DestroyWindow(window);
      const DWORD ended = ::WaitForSingleObject(quorrel, 1000);
      status = ended == WAIT_OBJECT_0 ? 0 : 2;
      std::printf(status == 0 ? "Quorrel ended within a second\n" : "Quorrel still runs a second later\n");
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
  seenFile = argv[3];
  stopFile = argv[4];
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
  std::wstring commandLine =
      L"\"" + std::wstring(argv[1]) + L"\" " + (std::wstring(argv[2]) == L"colon" ? L"/p:" + handle : L"/p " + handle);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return 1;
  }
  ::CloseHandle(process.hThread);
  quorrel = process.hProcess;
  ::SetTimer(host, kStopTimer, 100, nullptr);
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (status != 0) ::TerminateProcess(quorrel, 0);
  ::CloseHandle(quorrel);
  std::fflush(stdout);
  return status;
}
