#include <windows.h>

#include <stdexcept>

#include "tests/support/process.h"
#include "windows/system/utf16.h"

// The background processes of the tests cross-built for Windows.

namespace quorrel::test {

namespace {

// One argument as the C run-time's command-line parser reads it back:
// quoted, with backslashes doubled where a quote follows them.
std::wstring quoted(const std::wstring& argument) {
  std::wstring result = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    result.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    result += c;
  }
  result.append(2 * backslashes, L'\\');
  return result + L"\"";
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& environment) {
  if (argv.empty() || !environment.empty()) throw std::invalid_argument("a program and no environment are needed");
  std::wstring commandLine;
  for (const std::string& argument : argv) commandLine += (commandLine.empty() ? L"" : L" ") + quoted(windows_desktop::Widen(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // The program is looked up as CreateProcess does: the test's own folder
  // first, then the system's.
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    throw std::runtime_error("cannot start " + argv[0]);
  }
  ::CloseHandle(process.hThread);
  handle_ = process.hProcess;
  pid_ = static_cast<pid_t>(process.dwProcessId);
}

ChildProcess::~ChildProcess() {
  if (!status_) {
    ::TerminateProcess(handle_, 137);
    ::WaitForSingleObject(handle_, 10000);
  }
  ::CloseHandle(handle_);
}

std::optional<int> ChildProcess::waitFor(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  if (::WaitForSingleObject(handle_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(handle_, &code);
  status_ = static_cast<int>(code);
  return status_;
}

bool ChildProcess::running() { return !waitFor(std::chrono::milliseconds(0)).has_value(); }

void ChildProcess::signal(int /*signalNumber*/) {
  if (!status_) ::TerminateProcess(handle_, 137);
}

}  // namespace quorrel::test
