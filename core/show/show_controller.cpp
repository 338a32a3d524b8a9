#include "show/show_controller.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/log.h"
#include "base/messages.h"
#include "media/media_player.h"
#include "media/system_mute.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"
#include "show/random_pick.h"
#include "show/read_settings.h"
#include "show/screen_saver_password.h"
#include "show/show_view.h"
#include "show/video_panel.h"

namespace quorrel {

namespace {

// Clears InputBusy however the handling of one input ends.
class InputBusyScope {
 public:
  explicit InputBusyScope(bool& busy) : busy_(busy) {}
  ~InputBusyScope() { busy_ = false; }
  InputBusyScope(const InputBusyScope&) = delete;
  InputBusyScope& operator=(const InputBusyScope&) = delete;

 private:
  bool& busy_;
};

std::string videoErrorText(const std::string& fileName) {
  return "An error occurred trying to play the video file " + fileName +
         ". The video file appears to be corrupt. Please verify that your video files are viewable.";
}

constexpr const char* kSoundErrorText = "The sound file is corrupt and cannot be played!";

}  // namespace

ShowController::ShowController(ShowServices services) : services_(services) {}

void ShowController::start() {
  try {
    SetupDataFolder(services_.settings, services_.boxes);
    services_.screenSaverFlag.setScreenSaverRunning(true);
    state_ = ShowState{};
    services_.view.setCursorVisible(false);
    services_.view.setBackground(kBlack);
    hookInstalled_ = true;
    readSettings();
    if (!services_.soundAndMute) {
      state_.SoundOn = false;
      state_.StartMute = MuteChoice::LeaveAlone;
      state_.EndMute = MuteChoice::LeaveAlone;
    }
    applyMuteChoice(state_.StartMute);
  } catch (...) {
    // A window that covers the screen must always be closable by input,
    // so the hook is on even when the start-up failed before reaching it.
    hookInstalled_ = true;
    throw;
  }

  if (state_.SoundOn) startBackgroundSound();

  if (state_.PlayListCount > 0) {
    services_.view.setBackground(kBlack);
    placeVideoPanel();
    PickNextVideo(state_, services_.clock);
    try {
      startNextVideo();
    } catch (const std::exception& error) {
      // No message for the first video; the next tick finds the player
      // with nothing open and goes on to the next one.
      LogError("cannot play " + state_.entry(state_.CurrentIndex) + ": " + error.what());
    }
    if (ended_) return;
    cycleRunning_ = true;
    if (othersPlay()) {
      for (const std::unique_ptr<MonitorCycle>& other : others_) {
        startOtherMonitor(*other);
        if (ended_) return;
      }
    }
    services_.view.setTimerEnabled(true);
  } else {
    services_.view.setPanelVisible(false);
    services_.view.setMessageVisible(true);
    services_.view.setBackground(kWhite);
  }
  // Started in the dark: both players wait at their first frame.
  if (displayPoweredDown_) holdPlayers();
}

void ShowController::readSettings() {
  quorrel::ReadSettings(SettingsFile(services_.settings.SettingsFileName), state_, messageText_);
  services_.view.setMessageText(messageText_);
}

void ShowController::applyMuteChoice(MuteChoice choice) {
  if (choice == MuteChoice::Unmute) {
    services_.mute.setSystemMute(false);
  } else if (choice == MuteChoice::Mute) {
    services_.mute.setSystemMute(true);
  }
}

void ShowController::startBackgroundSound() {
  MediaPlayer& sound = services_.soundPlayer;
  try {
    sound.setFileName(state_.SoundFileName);
    sound.open();
    sound.play();
  } catch (const std::exception& error) {
    state_.SoundOn = false;
    LogError("cannot play the background sound " + state_.SoundFileName + ": " + error.what());
  }
}

void ShowController::placeVideoPanel() {
  const std::int32_t width = services_.view.screenWidth();
  const std::int32_t height = services_.view.screenHeight();
  if (services_.fitWholePicture) {
    placePanel(FittedPanel(width, height, videoSize_.width, videoSize_.height));
  } else {
    placePanel(VideoPanelPlace(state_, width, height));
  }
}

void ShowController::placePanel(const Rect& place) {
  panel_ = OnScreen(place, services_.view.screenWidth(), services_.view.screenHeight());
  services_.view.placePanel(panel_.shown);
}

void ShowController::startNextVideo() {
  MediaPlayer& video = services_.videoPlayer;
  video.setFileName(state_.entry(state_.CurrentIndex));
  video.open();
  // Input may end the show while the file opens (a front end answers it
  // during a long open): what has ended plays nothing more.
  if (ended_) return;
  if (services_.fitWholePicture || state_.SizeMode == VideoSizeMode::Natural) {
    // The player reports the video's own size once it has been asked to
    // draw it at its natural size; the panel then shrinks or grows to it.
    video.setDisplayRect(Rect{0, 0, 0, 0});
    videoSize_ = video.displayRect(Rect{});
    if (services_.fitWholePicture) {
      placeVideoPanel();
    } else {
      placePanel(CentredPanel(services_.view.screenWidth(), services_.view.screenHeight(), videoSize_.width,
                              videoSize_.height));
    }
  }
  video.setDisplayRect(panel_.videoArea());
  video.play();
}

void ShowController::poll() {
  // A paused video is no finished one, and a video or sound that ended just
  // before the display went dark waits for it to come back.
  if (ended_ || displayPoweredDown_) return;
  MediaPlayer& video = services_.videoPlayer;
  MediaPlayer& sound = services_.soundPlayer;

  // A video that has played to its end reads stopped; one whose start
  // failed leaves the player with nothing open, which counts as ended too,
  // so that one file that cannot be played does not hold up the list.
  if (!video.isOpen() || video.mode() == PlayerMode::Stopped) {
    video.close();
    PickNextVideo(state_, services_.clock);
    try {
      startNextVideo();
    } catch (const std::exception&) {
      stopCycleForError(video.fileName());
      return;
    }
    // A key pressed while the file opened may have ended the show
    // meanwhile.
    if (ended_) return;
    services_.view.setCursorVisible(false);
  }

  for (const std::unique_ptr<MonitorCycle>& other : others_) {
    if (!other->cycling()) continue;
    try {
      other->poll(state_, services_.clock);
    } catch (const std::exception&) {
      stopCycleForError(other->fileName());
      return;
    }
    if (ended_) return;
  }

  if (state_.SoundOn && state_.RepeatSound && sound.mode() == PlayerMode::Stopped) {
    try {
      sound.setFileName(state_.SoundFileName);
      sound.open();
      sound.play();
    } catch (const std::exception&) {
      // The player now holds nothing and so never reads as stopped again:
      // the message comes once, not on every tick.
      services_.boxes.showMessage(MessageKind::Error, kSoundErrorText);
    }
  }
}

void ShowController::stopCycleForError(const std::string& fileName) {
  // The timer goes off before the box opens, so no tick runs while the
  // user reads it, and the show then waits silently for input, every
  // monitor black.
  services_.view.setTimerEnabled(false);
  cycleRunning_ = false;
  MediaPlayer& sound = services_.soundPlayer;
  if (sound.mode() == PlayerMode::Playing) sound.stop();
  state_.SoundOn = false;
  MediaPlayer& video = services_.videoPlayer;
  if (video.isOpen() && video.mode() == PlayerMode::Playing) video.stop();
  for (const std::unique_ptr<MonitorCycle>& other : others_) other->stop();
  services_.boxes.showMessage(MessageKind::Error, videoErrorText(fileName));
  // The key that dismissed the box may have ended the show meanwhile; the
  // cursor it gave back stays.
  if (ended_) return;
  services_.view.setCursorVisible(false);
}

bool ShowController::othersPlay() const { return state_.EveryMonitor && cycleRunning_ && !ended_; }

void ShowController::startOtherMonitor(MonitorCycle& cycle) {
  cycle.start(state_, services_.clock);
  if (!ended_ && displayPoweredDown_) cycle.hold();
}

void ShowController::monitorsChanged(const std::vector<Monitor>& monitors) {
  if (ended_) return;
  if (services_.otherMonitors != nullptr) {
    const std::vector<Monitor> ordered = WithoutMirrors(InShowOrder(monitors));
    // The monitors that have gone (the new primary among them) take their
    // windows and players with them.
    std::erase_if(others_, [this, &ordered](const std::unique_ptr<MonitorCycle>& cycle) {
      const bool stays = std::any_of(ordered.begin() + (ordered.empty() ? 0 : 1), ordered.end(),
                                     [&cycle](const Monitor& m) { return m.name == cycle->monitor().name; });
      if (!stays) services_.otherMonitors->closeScreen(cycle->screen());
      return !stays;
    });
    std::vector<std::unique_ptr<MonitorCycle>> kept;
    std::vector<MonitorCycle*> added;
    for (std::size_t k = 1; k < ordered.size(); ++k) {
      const Monitor& monitor = ordered[k];
      auto known = std::find_if(others_.begin(), others_.end(), [&monitor](const std::unique_ptr<MonitorCycle>& c) {
        return c && c->monitor().name == monitor.name;
      });
      if (known != others_.end()) {
        kept.push_back(std::move(*known));
        if (kept.back()->monitor() != monitor) kept.back()->follow(monitor, state_);
      } else {
        kept.push_back(std::make_unique<MonitorCycle>(monitor, services_.otherMonitors->openScreen(monitor), ended_));
        added.push_back(kept.back().get());
      }
      kept.back()->setOrder(static_cast<std::int32_t>(k));
    }
    others_ = std::move(kept);
    if (othersPlay()) {
      for (MonitorCycle* cycle : added) {
        startOtherMonitor(*cycle);
        if (ended_) return;
      }
    }
  }
  screenChanged();
}

void ShowController::displayPowerChanged(bool poweredDown) {
  if (poweredDown == displayPoweredDown_) return;
  displayPoweredDown_ = poweredDown;
  if (ended_) return;
  if (poweredDown) {
    holdPlayers();
  } else {
    releasePlayers();
  }
}

void ShowController::holdPlayers() {
  if (PauseIfPlaying(services_.videoPlayer)) videoHeld_ = true;
  if (PauseIfPlaying(services_.soundPlayer)) soundHeld_ = true;
  for (const std::unique_ptr<MonitorCycle>& other : others_) other->hold();
}

void ShowController::releasePlayers() {
  if (std::exchange(videoHeld_, false)) ResumeIfPaused(services_.videoPlayer);
  if (std::exchange(soundHeld_, false)) ResumeIfPaused(services_.soundPlayer);
  for (const std::unique_ptr<MonitorCycle>& other : others_) other->release();
}

void ShowController::screenChanged() {
  if (ended_ || state_.PlayListCount == 0) return;
  const std::int32_t width = services_.view.screenWidth();
  const std::int32_t height = services_.view.screenHeight();
  if (state_.SizeMode == VideoSizeMode::Natural && !services_.fitWholePicture) {
    placePanel(CentredPanel(width, height, panel_.whole.width, panel_.whole.height));
  } else {
    placeVideoPanel();
  }
  services_.videoPlayer.setDisplayRect(panel_.videoArea());
}

void ShowController::inputHook(bool isInputMessage) {
  if (!hookInstalled_ || ended_) return;
  // Input that arrives while one is being handled (through the event loop
  // of a modal box or the password dialog) passes unexamined.
  if (state_.InputBusy || !isInputMessage) return;
  state_.InputBusy = true;
  InputBusyScope busy(state_.InputBusy);
  if (services_.password.endsWithoutPassword()) {
    end();
  } else {
    checkPasswordThenEnd();
  }
}

void ShowController::checkPasswordThenEnd() {
  const std::unique_ptr<DesktopSettingsKey> key = services_.password.openDesktopKey();
  if (!key) {
    end();
    return;
  }
  const std::optional<std::uint32_t> usePassword = key->screenSaveUsePassword();
  if (!usePassword || *usePassword == 0) {
    end();
    return;
  }
  services_.view.setCursorVisible(true);
  if (std::unique_ptr<PasswordVerifier> verifier = services_.password.loadVerifier()) {
    if (verifier->verifyPassword()) end();
  } else {
    end();
  }
  services_.view.setCursorVisible(false);
}

void ShowController::end() {
  if (ended_) return;
  ended_ = true;
  // The screen is the user's again before anything else: a player or a
  // mute switch that is slow to answer must not keep the show in front of
  // them.
  services_.view.setTimerEnabled(false);
  services_.view.takeOffScreen();
  services_.screenSaverFlag.setScreenSaverRunning(false);
  try {
    applyMuteChoice(state_.EndMute);
  } catch (const std::exception& error) {
    // The show ends even when the mute cannot be set; the user is told why
    // the sound is not as chosen.
    services_.view.reportError(error.what());
  }
  services_.view.closeShow();
}

}  // namespace quorrel
