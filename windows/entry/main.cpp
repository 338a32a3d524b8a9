#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/messages.h"
#include "entry/arguments.h"
#include "entry/password_change.h"
#include "settings/data_folder.h"
#include "show/show_window_identity.h"
#include "windows/base/message_boxes.h"
#include "windows/base/window.h"
#include "windows/entry/modes.h"
#include "windows/entry/mpr_password_change.h"
#include "windows/media/endpoint_mute.h"
#include "windows/media/windows_media_backend.h"
#include "windows/show/show_window.h"
#include "windows/system/utf16.h"

namespace {

using namespace quorrel;
using namespace quorrel::windows_desktop;

// The arguments after the program's name, as UTF-8.
std::vector<std::string> commandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (words == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Narrow(words[i]));
  ::LocalFree(words);
  return arguments;
}

std::string executablePath() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return Narrow(path);
}

// The claim of the one show of this session: a named mutex, which the
// first of two shows started at the same instant creates and the second
// finds. Looking for the show window alone lets both run, since neither
// has its window yet when it looks. Held until the show ends; the system
// lets it go with the process.
class ShowClaim {
 public:
  ShowClaim() : handle_(::CreateMutexW(nullptr, FALSE, L"Local\\QuorrelShow")) {
    if (handle_ == nullptr) {
      // The look-up of the window still stands guard.
      LogError("the show cannot claim its mutex (error " + std::to_string(::GetLastError()) + ")");
    } else {
      takenByAnother_ = ::GetLastError() == ERROR_ALREADY_EXISTS;
    }
  }
  ~ShowClaim() {
    if (handle_ != nullptr) ::CloseHandle(handle_);
  }
  ShowClaim(const ShowClaim&) = delete;
  ShowClaim& operator=(const ShowClaim&) = delete;
  [[nodiscard]] bool takenByAnother() const { return takenByAnother_; }

 private:
  HANDLE handle_;
  bool takenByAnother_ = false;
};

void runShowMode() {
  SetApplicationTitle("Quorrel");
  const std::unique_ptr<WindowsMediaBackend> backend = CreateWindowsMediaBackend();
  const std::unique_ptr<SystemMute> systemMute = CreateEndpointMute();
  VideoSoundFollowingMute mute(*systemMute, *backend);
  windows_desktop::ModalMessageBoxes boxes;
  const SettingsLocation settings = UserSettingsLocation();
  windows_desktop::ShowWindow form(settings, *backend, mute, boxes);
  if (form.hwnd() == nullptr) return;
  // The window is on screen (black) before the start-up opens the first
  // video, as a window created visible is, so that the video is drawn
  // where it is seen from its first frame.
  form.showOnTop();
  try {
    form.start();
  } catch (const std::exception& error) {
    // The start-up runs before the message loop, so nothing else would
    // catch this; the window stays and waits for input.
    windows_desktop::ReportError(form.hwnd(), error.what());
  }
  if (form.ended()) return;
  windows_desktop::RunMessageLoop();
}

}  // namespace

// The process does one thing, chosen by its first argument, and always ends
// with status 0: the screen-saver host has no use for a failure code, and
// the user sees every failure that matters in a message box.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
  try {
    // A running show refuses every start, whatever the argument.
    if (::FindWindowW(Widen(kShowWindowClass).c_str(), Widen(kShowWindowTitle).c_str()) != nullptr) return 0;
    const Mode mode = DecodeMode(commandLineArguments());
    // The X screen-saver module switches mean nothing here: Windows' hosts
    // start savers with /s, /c and /p.
    if (mode == Mode::None || mode == Mode::Hosted) return 0;
    if (mode == Mode::ChangePassword) {
      windows_desktop::MprPasswordChange service;
      RunPasswordChange(&service);
      return 0;
    }
    std::optional<ShowClaim> showClaim;
    if (mode == Mode::Show) {
      showClaim.emplace();
      if (showClaim->takenByAnother()) return 0;
    }
    // The file dialogs, the folder chooser, the endpoint mute, MCI's
    // DirectShow devices and the Media Engine all want COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetApplicationTitle(TitleFromExecutable(executablePath()));
    if (mode == Mode::Show) {
      runShowMode();
      // A show started as this one ends is not refused.
      showClaim.reset();
    } else {
      windows_desktop::RunConfigMode(executablePath());
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
  } catch (const std::exception& error) {
    // Nothing is left to show it in; the mode has already ended. A GUI
    // program has no console, so the line is only seen where standard
    // error was redirected.
    LogError(error.what());
  }
  return 0;
}
