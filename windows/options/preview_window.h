#pragma once

#include <memory>
#include <string>

#include "media/media_player.h"
#include "options/preview_controls.h"
#include "windows/options/dialog_builder.h"

namespace quorrel {

class MediaBackend;
class MessageBoxes;

namespace windows_desktop {

// "Preview Video": one listed video played in a panel of its own window,
// at its natural size in the panel's top-left corner. The window owns its
// player, so closing it by any means ends the playback.
class PreviewWindow : public LaidOutWindow {
 public:
  PreviewWindow(HWND owner, MediaBackend& backend, MessageBoxes& boxes, const std::string& path);
  ~PreviewWindow() override;

  void showModal();

  void play();
  void pause();
  void stop();
  void returnToOptions();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND owner_;
  HWND videoPanel = nullptr;
  std::string videoPath_;
  std::unique_ptr<MediaPlayer> player_;
  std::unique_ptr<PreviewControls> controls_;
};

}  // namespace windows_desktop
}  // namespace quorrel
