#pragma once

#include <memory>
#include <string>

#include "options/preview_controls.h"
#include "media/media_player.h"
#include "windows/base/window.h"

namespace quorrel {

class MediaBackend;
class MessageBoxes;

namespace win {

// "Preview Video": one listed video played in a panel of its own window,
// at its natural size in the panel's top-left corner. The window owns its
// player, so closing it by any means ends the playback.
class TFrmviddis : public Window {
 public:
  TFrmviddis(HWND owner, MediaBackend& backend, MessageBoxes& boxes, const std::string& path);
  ~TFrmviddis() override;

  void showModal();

  void cmdplayClick();
  void cmdpauseClick();
  void cmdstopClick();
  void BitBtn4Click();

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND owner_;
  HWND Panel1 = nullptr;
  std::string videoPath_;
  std::unique_ptr<TMediaPlayer> MediaPlayer1;
  std::unique_ptr<PreviewLogic> logic_;
};

}  // namespace win
}  // namespace quorrel
