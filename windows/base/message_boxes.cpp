#include "windows/base/message_boxes.h"

#include <windows.h>

#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

UINT iconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return MB_ICONWARNING;
    case MessageKind::Error:
      return MB_ICONERROR;
    case MessageKind::Information:
      return MB_ICONINFORMATION;
    case MessageKind::Confirm:
      return MB_ICONQUESTION;
    case MessageKind::Plain:
      break;
  }
  return 0;
}

}  // namespace

void ModalMessageBoxes::showMessage(MessageKind kind, const std::string& text) {
  ::MessageBoxW(::GetActiveWindow(), Widen(text).c_str(), Widen(MessageCaption(kind)).c_str(),
                MB_OK | MB_SETFOREGROUND | iconOf(kind));
}

}  // namespace quorrel::windows_desktop
