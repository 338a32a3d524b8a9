#pragma once

#include <string>

#include "base/geometry.h"
#include "show/show_state.h"
#include "show/show_view.h"

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

  [[nodiscard]] const ShowState& state() const { return state_; }
  [[nodiscard]] bool ended() const { return ended_; }

 private:
  void readSettings();
  void startBackgroundSound();
  void placeVideoPanel();
  void placePanel(const Rect& place);
  // Where the video is drawn in the placed panel.
  [[nodiscard]] Rect videoArea() const;
  void startNextVideo();
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
  Rect panel_ = kFirstPanelPlace;
  // The part of the panel on the screen, which is what the view places.
  Rect shownPanel_ = kFirstPanelPlace;
  bool hookInstalled_ = false;
  bool ended_ = false;
  bool displayPoweredDown_ = false;
  // The players that the dark display paused; only these go on when it
  // powers up again.
  bool videoHeld_ = false;
  bool soundHeld_ = false;
};

}  // namespace quorrel
