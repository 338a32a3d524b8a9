#include "windows/show/show_ending.h"

#include <objbase.h>

#include <exception>
#include <utility>

#include "base/log.h"

namespace quorrel::windows_desktop {

namespace {

struct ReleaseJob {
  std::vector<std::unique_ptr<MediaPlayer>> players;
};

void release(std::unique_ptr<MediaPlayer>& player) {
  try {
    if (player && player->isOpen() && player->mode() == PlayerMode::Playing) player->stop();
  } catch (const std::exception& error) {
    LogError(std::string("a player did not stop: ") + error.what());
  }
  // Closes the file and releases the device.
  player.reset();
}

DWORD WINAPI releaseOnThread(void* parameter) {
  std::unique_ptr<ReleaseJob> job(static_cast<ReleaseJob*>(parameter));
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  for (std::unique_ptr<MediaPlayer>& player : job->players) release(player);
  if (SUCCEEDED(com)) ::CoUninitialize();
  return 0;
}

DWORD WINAPI endProcessLater(void* parameter) {
  ::Sleep(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter)));
  LogError("the show did not end in time; the process ends without it");
  ::TerminateProcess(::GetCurrentProcess(), 0);
  return 0;
}

}  // namespace

bool ReleasePlayers(std::vector<std::unique_ptr<MediaPlayer>> players, std::chrono::milliseconds bound) {
  auto job = std::make_unique<ReleaseJob>();
  std::vector<std::unique_ptr<MediaPlayer>> here;
  for (std::unique_ptr<MediaPlayer>& player : players) {
    if (player && !player->closesOnAnyThread()) {
      here.push_back(std::move(player));
    } else {
      job->players.push_back(std::move(player));
    }
  }
  HANDLE thread = ::CreateThread(nullptr, 0, &releaseOnThread, job.get(), 0, nullptr);
  if (thread == nullptr) {
    // No thread to spare: the players go here, as they would have without
    // the guard.
    for (std::unique_ptr<MediaPlayer>& player : here) release(player);
    releaseOnThread(job.release());
    return true;
  }
  (void)job.release();
  for (std::unique_ptr<MediaPlayer>& player : here) release(player);
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(bound.count());
  bool released = false;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) break;
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &thread, static_cast<DWORD>(deadline - now), QS_SENDMESSAGE, 0);
    if (woke == WAIT_OBJECT_0) {
      released = true;
      break;
    }
    if (woke != WAIT_OBJECT_0 + 1) break;
    // Looking at the queue delivers the messages sent to this thread.
    MSG message{};
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  ::CloseHandle(thread);
  return released;
}

void EndProcessAfter(std::chrono::milliseconds bound) {
  HANDLE thread = ::CreateThread(nullptr, 0, &endProcessLater,
                                 reinterpret_cast<void*>(static_cast<std::uintptr_t>(bound.count())), 0, nullptr);
  if (thread != nullptr) ::CloseHandle(thread);
}

}  // namespace quorrel::windows_desktop
