#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "media/media_types.h"
#include "show/random_pick.h"
#include "show/screen_saver_password.h"
#include "show/show_controller.h"
#include "show/show_view.h"

class QLabel;

namespace quorrel {

class MediaBackend;
class QuorrelApplication;
struct SettingsLocation;
class SystemMute;
class TMediaPlayer;

// The show window: frameless, on top of everything, covering the primary
// screen, black while videos play and white on the message screen. It owns
// its label, video panel, poll timer and both players, and hands every
// decision to the show's controller. Its X11 class is the application
// name, which the show mode sets to "TForm1" before creating it, so that a
// second start can find it.
class TForm1 : public QWidget, private ShowView {
 public:
  TForm1(QuorrelApplication& app, const SettingsLocation& settings, MediaBackend& backend, SystemMute& mute);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The start-up; errors propagate for the general error report.
  void FormCreate() { controller_.FormCreate(); }
  [[nodiscard]] bool ended() const { return controller_.ended(); }
  // Closes both players' files, ending all playback; for a close that does
  // not go through the end of the show.
  void closePlayers();

 protected:
  // The application-wide input hook: sees every event of every window of
  // the process before delivery and never consumes one.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::int32_t screenWidth() const override;
  std::int32_t screenHeight() const override;
  void setBackground(Colour colour) override;
  void placePanel(const PanelGeometry& geometry) override;
  PanelGeometry panelPlace() const override;
  void setPanelVisible(bool visible) override;
  void setInfoText(const std::string& text) override;
  std::string infoText() const override;
  void setInfoVisible(bool visible) override;
  void setCursorVisible(bool visible) override;
  void setTimerEnabled(bool enabled) override;
  void reportError(const std::string& message) override;
  void closeShow() override;

  // The panel's X11 window, made native so that the video player can draw
  // into it.
  NativeWindow createPanel();

  QuorrelApplication& app_;
  QLabel* lblinfo;
  QWidget* Panel1;
  QTimer* Timer1;
  std::string infoText_;
  bool cursorHidden_ = false;

  SystemUtcClock clock_;
  LinuxScreenSaverPassword password_;
  NoScreenSaverFlag screenSaverFlag_;
  // Declared after the panel so that they are destroyed first: no player
  // may draw into a window that is gone.
  std::unique_ptr<TMediaPlayer> MediaPlayer1;
  std::unique_ptr<TMediaPlayer> MediaPlayer2;
  ShowController controller_;
};

}  // namespace quorrel
