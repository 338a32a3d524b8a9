#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "media/media_player.h"
#include "options/preview_controls.h"

class QLabel;
class QPushButton;
class QWidget;

namespace quorrel {
class MessageBoxes;
}  // namespace quorrel

namespace quorrel::linux_desktop {
// "Preview Video": one listed video played in a panel of its own window,
// at its natural size in the panel's top-left corner. The window owns its
// player, so closing it by any means ends the playback.
class PreviewWindow : public QDialog {
  Q_OBJECT
 public:
  PreviewWindow(QWidget* owner, MediaBackend& backend, MessageBoxes& boxes);
  ~PreviewWindow() override;

  // The video that Play plays: the label shows it, the bytes stay exact.
  void setVideoPath(const std::string& path);
  [[nodiscard]] const std::string& videoPath() const { return videoPath_; }
  [[nodiscard]] MediaPlayer& player() { return *player_; }

  void play();
  void pause();
  void stop();
  void returnToOptions();
  void done(int result) override;

  QWidget* videoPanel;
  QPushButton* playButton;
  QPushButton* pauseButton;
  QPushButton* stopButton;
  QPushButton* returnButton;
  QLabel* pathLabel;

 private:
  std::string videoPath_;
  std::unique_ptr<MediaPlayer> player_;
  std::unique_ptr<PreviewControls> controls_;
};

}  // namespace quorrel::linux_desktop
