#include "windows/show/show_mode.h"

#include <chrono>
#include <exception>
#include <memory>

#include "base/log.h"
#include "base/messages.h"
#include "settings/data_folder.h"
#include "windows/base/message_boxes.h"
#include "windows/base/window.h"
#include "windows/media/endpoint_mute.h"
#include "windows/media/windows_media_backend.h"
#include "windows/show/preview_host.h"
#include "windows/show/show_window.h"

namespace quorrel::windows_desktop {

void RunShowMode() {
  SetApplicationTitle("Quorrel");
  const std::unique_ptr<WindowsMediaBackend> backend = CreateWindowsMediaBackend();
  // Before the window is on screen: once it is, a key must end the show at
  // once, and the Media Engine's start answers no key.
  backend->prepareVideo();
  const std::unique_ptr<SystemMute> systemMute = CreateEndpointMute();
  VideoSoundFollowingMute mute(*systemMute, *backend);
  ModalMessageBoxes boxes;
  const SettingsLocation settings = UserSettingsLocation();
  ShowWindow window(settings, *backend, mute, boxes);
  if (window.hwnd() == nullptr) return;
  // The window is on screen (black) before the start-up opens the first
  // video, as a window created visible is, so that the video is drawn
  // where it is seen from its first frame.
  window.showOnTop();
  try {
    window.start();
  } catch (const std::exception& error) {
    // The start-up runs before the message loop, so nothing else would
    // catch this; the window stays and waits for input.
    ReportError(window.hwnd(), error.what());
  }
  // Also when input ended the show during the start-up: the end finishes
  // from the message loop.
  RunMessageLoop();
}

namespace {

// How long a preview whose host has gone may take to end by itself.
constexpr std::chrono::milliseconds kPreviewGrace{500};

// A preview has nobody in front of it to read a box: what would be shown
// goes to standard error.
class LoggedMessages : public MessageBoxes {
 public:
  void showMessage(MessageKind /*kind*/, const std::string& text) override { LogError(text); }
};

// A preview never touches the mute switch, so it needs none.
class UntouchedMute : public SystemMute {
 public:
  void setSystemMute(bool /*mute*/) override {}
};

}  // namespace

void RunHostedShowMode(HWND host) {
  SetApplicationTitle("Quorrel");
  // Whatever the preview is doing when its host goes, the process is gone
  // well within a second of it.
  EndProcessWhenWindowGoes(host, kPreviewGrace);
  const std::unique_ptr<WindowsMediaBackend> backend = CreateWindowsMediaBackend(MediaAudio::Off);
  UntouchedMute mute;
  LoggedMessages boxes;
  const SettingsLocation settings = UserSettingsLocation();
  ShowWindow window(settings, *backend, mute, boxes, host);
  if (window.hwnd() == nullptr) return;
  window.showOnTop();
  try {
    window.start();
  } catch (const std::exception& error) {
    LogError(error.what());
  }
  // A host gone during the start-up has ended the preview already.
  if (!window.ended()) RunMessageLoop();
  window.endPreview();
}

}  // namespace quorrel::windows_desktop
