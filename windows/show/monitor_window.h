#pragma once

#include <memory>

#include "media/media_player.h"
#include "show/monitors.h"
#include "windows/base/window.h"

namespace quorrel {
class MediaBackend;
}

namespace quorrel::windows_desktop {

// The show's window over one monitor other than the primary: borderless,
// topmost and black over the whole monitor, in its device pixels, with no
// cursor over it. Input over it goes through the show's thread-wide hook
// like input over the show window, and so ends the show. With every
// monitor playing it gets a video panel and a silent player that draws
// into it.
class MonitorWindow final : public Window, public MonitorScreen {
 public:
  // `backend` plays silently and outlives the window.
  MonitorWindow(const quorrel::Monitor& monitor, MediaBackend& backend);
  ~MonitorWindow() override;

  void cover(const Rect& monitor) override;
  void placePanel(const Rect& panel) override;
  MediaPlayer& videoPlayer() override;

  // Shows nothing any more, at once (see ShowWindow::takeOffScreen).
  void takeOffScreen();
  // The player, for the show's bounded release; none is left here.
  [[nodiscard]] std::unique_ptr<MediaPlayer> takePlayer() { return std::move(player_); }

 protected:
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  MediaBackend& backend_;
  HWND panel_ = nullptr;
  std::unique_ptr<MediaPlayer> player_;
};

}  // namespace quorrel::windows_desktop
