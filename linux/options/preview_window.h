#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "options/preview_controls.h"
#include "media/media_player.h"

class QLabel;
class QPushButton;
class QWidget;

namespace quorrel {

class MessageBoxes;

// "Preview Video": one listed video played in a panel of its own window,
// at its natural size in the panel's top-left corner. The window owns its
// player, so closing it by any means ends the playback.
class TFrmviddis : public QDialog {
  Q_OBJECT
 public:
  TFrmviddis(QWidget* owner, MediaBackend& backend, MessageBoxes& boxes);
  ~TFrmviddis() override;

  // The video that Play plays: the label shows it, the bytes stay exact.
  void setVideoPath(const std::string& path);
  [[nodiscard]] const std::string& videoPath() const { return videoPath_; }
  [[nodiscard]] TMediaPlayer& player() { return *MediaPlayer1; }

  void cmdplayClick();
  void cmdpauseClick();
  void cmdstopClick();
  void BitBtn4Click();
  void done(int result) override;

  QWidget* Panel1;
  QPushButton* cmdplay;
  QPushButton* cmdpause;
  QPushButton* cmdstop;
  QPushButton* BitBtn4;
  QLabel* Lblname;

 private:
  std::string videoPath_;
  std::unique_ptr<TMediaPlayer> MediaPlayer1;
  std::unique_ptr<PreviewLogic> logic_;
};

}  // namespace quorrel
