#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "show/monitor_cycle.h"
#include "show/monitors.h"
#include "show/show_state.h"
#include "show/show_view.h"
#include "show/video_panel.h"

namespace quorrel {

class MessageBoxes;
class ScreenSaverFlag;
class ScreenSaverPassword;
class ShowView;
struct SettingsLocation;
class SystemMute;
class MediaPlayer;
class UtcClock;

// What the show works with. The window owns the players; everything here
// outlives the controller.
struct ShowServices {
  const SettingsLocation& settings;
  ShowView& view;
  MediaPlayer& soundPlayer;  // the background sound, no display window
  MediaPlayer& videoPlayer;  // the videos, drawn into the panel
  SystemMute& mute;
  const UtcClock& clock;
  ScreenSaverPassword& password;
  ScreenSaverFlag& screenSaverFlag;
  MessageBoxes& boxes;
  // Whether this show plays the background sound and sets the mute switch.
  // Of the copies a screen-saver host runs, one per monitor, only the one
  // on the primary monitor does; the others stay silent and leave the
  // switch alone.
  bool soundAndMute = true;
  // The windows over the monitors other than the primary; null where the
  // show has only its own window (a host's module, a preview).
  MonitorScreens* otherMonitors = nullptr;
  // Whether every video is shown whole, scaled to fit the screen with its
  // shape kept, whatever the size option: the preview in a screen saver
  // settings window, whose screen is a few hundred pixels wide.
  bool fitWholePicture = false;
};

// The show's logic from start-up to the end: it reads the settings once,
// plays the list on one player and the background sound on the other,
// polls both once a second, and ends at the first key or mouse button.
// Everything runs on the user-interface thread; the window calls in from
// its creation, its timer and its application-wide event filter.
class ShowController {
 public:
  explicit ShowController(ShowServices services);

  // The start-up while the window is being created. An error it cannot go
  // on after (a failed mute, a settings file that cannot be written)
  // propagates for the general error report; the rest of the start-up is
  // then skipped, but input still ends the show.
  void start();

  // One poll: replaces a video that has ended and restarts a background
  // sound that has ended when it is to repeat. While the display is
  // powered down it does nothing, so the order does not move on.
  void poll();

  // The display has powered down (DPMS standby, suspend or off; the console
  // display switched off) or up again. Nobody watches a dark screen, so
  // the video and the background sound pause where they are and go on
  // from there when it powers up; a show that starts in the dark starts
  // paused. The mute switch is not touched, and input ends the show as
  // always. The front end may report the same state again and again; only
  // a change does anything.
  void displayPowerChanged(bool poweredDown);

  // The application-wide input hook, called for every event before it is
  // delivered; `isInputMessage` tells whether it is a key press or release
  // or a left, right or middle button press. It never consumes the event.
  void inputHook(bool isInputMessage);

  // Takes the show off the screen, applies the end mute choice, and has
  // the window release the players and close.
  void end();

  // The screen (or the host's window) changed size or monitors: the panel
  // is placed again for the new size, the playing video with it.
  void screenChanged();

  // The desktop's monitors, every time they change (and once when the show
  // goes on screen), after the front end has put the show window over the
  // primary one. Every other monitor gets a black window; with "Play
  // videos on every monitor" on, it plays its own cycle there while the
  // primary's plays. A monitor that appears starts its own cycle, one that
  // goes takes its player with it, and one that moves or changes its size
  // has its panel placed again. The primary's panel follows as for
  // screenChanged().
  void monitorsChanged(const std::vector<Monitor>& monitors);

  [[nodiscard]] const ShowState& state() const { return state_; }
  [[nodiscard]] bool ended() const { return ended_; }

 private:
  void readSettings();
  void startBackgroundSound();
  void placeVideoPanel();
  void placePanel(const Rect& place);
  void startNextVideo();
  // Whether the other monitors play: the option is on and the primary's
  // cycle runs.
  [[nodiscard]] bool othersPlay() const;
  void startOtherMonitor(MonitorCycle& cycle);
  // A video that cannot be started on a tick, on any monitor: the cycle
  // stops everywhere, the sound with it, and the user is told once.
  void stopCycleForError(const std::string& fileName);
  void applyMuteChoice(MuteChoice choice);
  void checkPasswordThenEnd();
  // Pauses whichever player is playing, for the dark display, and
  // resumes those it paused.
  void holdPlayers();
  void releasePlayers();

  ShowServices services_;
  ShowState state_;
  // What the message screen says, and where the video panel is.
  std::string messageText_ = kNoVideosText;
  PlacedPanel panel_{kFirstPanelPlace, kFirstPanelPlace};
  // The playing video's own size, which a fitted panel keeps the shape of.
  Rect videoSize_;
  // The monitors other than the primary, in the show's order.
  std::vector<std::unique_ptr<MonitorCycle>> others_;
  // The primary's cycle has started, and not stopped for an error.
  bool cycleRunning_ = false;
  bool hookInstalled_ = false;
  bool ended_ = false;
  bool displayPoweredDown_ = false;
  // The players that the dark display paused; only these go on when it
  // powers up again.
  bool videoHeld_ = false;
  bool soundHeld_ = false;
};

}  // namespace quorrel
