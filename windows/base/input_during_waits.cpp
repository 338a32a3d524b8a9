#include "windows/base/input_during_waits.h"

#include <utility>

namespace quorrel::windows_desktop {

namespace {

thread_local bool answeringInput = false;
thread_local int dispatchingInWait = 0;

void dispatchInput() {
  ++dispatchingInWait;
  MSG message{};
  for (const auto& [first, last] : {std::pair<UINT, UINT>{WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}}) {
    while (::PeekMessageW(&message, nullptr, first, last, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  --dispatchingInWait;
}

}  // namespace

InputDuringWaits::InputDuringWaits() : previous_(answeringInput) { answeringInput = true; }

InputDuringWaits::~InputDuringWaits() { answeringInput = previous_; }

DWORD WaitAnsweringInput(HANDLE object, DWORD milliseconds) {
  if (!answeringInput) return ::WaitForSingleObject(object, milliseconds);
  const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &object, left, QS_INPUT, MWMO_INPUTAVAILABLE);
    if (woke != WAIT_OBJECT_0 + 1) return woke;
    dispatchInput();
    if (::GetTickCount64() >= deadline) return ::WaitForSingleObject(object, 0);
  }
}

bool AnsweringInputInAWait() { return dispatchingInWait > 0; }

}  // namespace quorrel::windows_desktop
