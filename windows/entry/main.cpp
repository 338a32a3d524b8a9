#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/messages.h"
#include "entry/arguments.h"
#include "entry/mode_dispatch.h"
#include "show/show_window_identity.h"
#include "windows/entry/mpr_password_change.h"
#include "windows/entry/show_claim.h"
#include "windows/options/options_mode.h"
#include "windows/show/show_mode.h"
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

// Windows' part in the start: the show window looked up by class and
// title, MPR.DLL's password change, a session mutex as the show's claim,
// the preview's host window, and COM for the modes that run.
class WindowsEntry : public EntryPlatform {
 public:
  explicit WindowsEntry(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {}

  bool showWindowOnScreen() override {
    return ::FindWindowW(Widen(kShowWindowClass).c_str(), Widen(kShowWindowTitle).c_str()) != nullptr;
  }

  PasswordChangeService* passwordChangeService() override { return &passwordChange_; }

  // The X screen-saver module switches mean nothing here: Windows' hosts
  // start savers with /s, /c and /p. A preview needs the window it was
  // given to be a window; anything else ends it quietly.
  bool canRun(Mode mode) override {
    if (mode != Mode::Preview) return mode == Mode::Show || mode == Mode::Configure;
    const std::optional<std::uint64_t> handle = PreviewWindowHandle(arguments_);
    if (!handle) return false;
    previewHost_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*handle));
    return ::IsWindow(previewHost_) != FALSE;
  }

  std::unique_ptr<ShowClaim> claimShow() override { return MutexShowClaim::Take(); }

  void run(Mode mode) override {
    // The file dialogs, the folder chooser, the endpoint mute, MCI's
    // DirectShow devices and the Media Engine all want COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SetApplicationTitle(TitleFromExecutable(executablePath()));
    if (mode == Mode::Show) {
      RunShowMode();
    } else if (mode == Mode::Preview) {
      RunHostedShowMode(previewHost_);
    } else {
      RunConfigMode(executablePath(), settingsOwner());
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
  }

 private:
  // The window that asked for the settings ("/c:HWND"); a handle that is no
  // window is ignored, and the dialog opens on its own as with "/c".
  HWND settingsOwner() const {
    const std::optional<std::uint64_t> handle = SettingsOwnerHandle(arguments_);
    if (!handle) return nullptr;
    const auto owner = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*handle));
    return ::IsWindow(owner) ? owner : nullptr;
  }

  std::vector<std::string> arguments_;
  HWND previewHost_ = nullptr;
  MprPasswordChange passwordChange_;
};

}  // namespace

// The process does one thing, chosen by its first argument, and always ends
// with status 0: the screen-saver host has no use for a failure code, and
// the user sees every failure that matters in a message box.
int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
  try {
    const std::vector<std::string> arguments = commandLineArguments();
    WindowsEntry platform(arguments);
    DispatchMode(arguments, platform);
  } catch (const std::exception& error) {
    // Nothing is left to show it in; the mode has already ended. A GUI
    // program has no console, so the line is only seen where standard
    // error was redirected.
    LogError(error.what());
  }
  return 0;
}
