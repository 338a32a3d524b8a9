#pragma once

#include <QWidget>
#include <memory>

#include "media/media_device.h"
#include "show/monitors.h"

namespace quorrel {
class MediaPlayer;
}

namespace quorrel::linux_desktop {

// The show's window over one monitor other than the primary: frameless,
// above every window, full screen on its monitor and black. With every
// monitor playing, it gets a native video panel and a silent player that
// draws into it. Input over it reaches the show's application-wide hook
// like input over the show window; the cursor is the application's.
class MonitorWindow final : public MonitorScreen {
 public:
  // `backend` plays silently and outlives the window.
  MonitorWindow(const Monitor& monitor, MediaBackend& backend);
  // The player closes before its panel goes; the window itself is deleted
  // later, since the input that ends the show may be an event it is
  // receiving.
  ~MonitorWindow() override;
  MonitorWindow(const MonitorWindow&) = delete;
  MonitorWindow& operator=(const MonitorWindow&) = delete;

  void cover(const Rect& monitor) override;
  void placePanel(const Rect& panel) override;
  MediaPlayer& videoPlayer() override;

  // Ends its playback; the end of the show, before any window goes.
  void closePlayer();
  // Leaves the screen at once.
  void hide() { window_->hide(); }

 private:
  std::string monitorName_;
  MediaBackend& backend_;
  QWidget* window_;
  QWidget* panel_ = nullptr;
  std::unique_ptr<MediaPlayer> player_;
};

}  // namespace quorrel::linux_desktop
