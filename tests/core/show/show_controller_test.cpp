// The show from start-up to the end, against fake players, mute, clock,
// password services and window.

#include "show/show_controller.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "media/media_player.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"
#include "tests/core/show/show_fakes.h"
#include "tests/support/process.h"

namespace quorrel {
namespace {

using test::EventLog;

// Everything one show needs, with its settings in a home of its own.
struct ShowRig : test::ShowFakes {
  void settings(const std::string& ini) {
    std::filesystem::create_directories(home.file("Quorrel"));
    test::WriteFile(home.file("Quorrel/quorrel4.ini"), ini);
  }
  // A file on disk that the fake video back end plays at the given size.
  std::string clip(const std::string& name, std::int32_t width = 320, std::int32_t height = 240) {
    const std::string path = home.file(name);
    test::WriteFile(path, "clip");
    videoBackend.files[path] = {true, width, height};
    return path;
  }
  std::string wav() {
    const std::string path = home.file("tone.wav");
    test::WriteFile(path, "wav");
    soundBackend.files[path] = {false, 0, 0};
    return path;
  }
  // Options, a video list of the given paths and the sound file.
  static std::string ini(const std::string& options, const std::vector<std::string>& videos,
                         const std::string& sound = "Null") {
    std::string text = "[Options]\n" + options + "\n[vidConfig]\n";
    for (std::size_t n = 1; n <= 1000; ++n) {
      text += "Name" + std::to_string(n) + "=" + (n <= videos.size() ? videos[n - 1] : "Null") + "\n";
    }
    return text + "[WavConfig]\nName1=" + sound + "\n";
  }
  bool logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
  // Position of an entry in the log; fails the test when it is missing.
  std::ptrdiff_t at(const std::string& entry) const {
    const auto found = std::find(log.begin(), log.end(), entry);
    EXPECT_NE(found, log.end()) << "not logged: " << entry;
    return found - log.begin();
  }
  // Ends the file the video player plays, as its last frame would.
  void videoEnds() { videoBackend.current()->mode = PlayerMode::Stopped; }

  ShowController show{services()};
};

constexpr const char* kPlainOptions = "Sound=0\nRepeat=0\nPicdis=5\nPicord=2\nHeight=100\nWidth=100";

TEST(ShowStartUp, withoutSettingsFileTheDefaultFileGivesTheNoVideosScreen) {
  ShowRig rig;
  rig.show.start();
  EXPECT_TRUE(std::filesystem::exists(rig.home.file("Quorrel/quorrel4.ini")));
  EXPECT_FALSE(rig.view.panelVisible);
  EXPECT_TRUE(rig.view.infoVisible);
  EXPECT_EQ(rig.view.background, kWhite);
  EXPECT_EQ(rig.view.info, kNoVideosText);
  EXPECT_FALSE(rig.view.cursorVisible);
  EXPECT_FALSE(rig.logged("timer on"));
  EXPECT_TRUE(rig.soundBackend.opened.empty());
  EXPECT_TRUE(rig.videoBackend.opened.empty());
  EXPECT_FALSE(rig.logged("mute on") || rig.logged("mute off"));
}

TEST(ShowStartUp, muteComesBeforeTheSoundAndTheFirstVideoBeforeTheTimer) {
  ShowRig rig;
  const std::string first = rig.clip("a.avi");
  rig.clip("b.avi");
  const std::string wav = rig.wav();
  rig.settings(
      ShowRig::ini("Starton=1\nSound=1\nRepeat=1\nHeight=100\nWidth=100", {first, rig.home.file("b.avi")}, wav));
  rig.show.start();

  EXPECT_LT(rig.at("running"), rig.at("cursor hidden"));
  EXPECT_LT(rig.at("cursor hidden"), rig.at("mute off"));
  EXPECT_LT(rig.at("mute off"), rig.at("sound open " + wav));
  EXPECT_LT(rig.at("sound play " + wav), rig.at("video open " + first));
  EXPECT_LT(rig.at("video play " + first), rig.at("timer on"));
  EXPECT_EQ(rig.view.background, kBlack);
  EXPECT_TRUE(rig.view.panelVisible);
  EXPECT_FALSE(rig.view.infoVisible);
  // Natural size: the 320 by 240 clip centred on a 1024 by 768 screen.
  EXPECT_EQ(rig.view.panel, (Rect{352, 264, 320, 240}));
  EXPECT_EQ(rig.videoBackend.current()->destination, (Rect{0, 0, 320, 240}));
}

TEST(ShowStartUp, aFailedMuteSkipsSoundAndVideoButInputStillEndsTheShow) {
  ShowRig rig;
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Starton=0\nSound=1\nPicdis=2", {rig.clip("a.avi")}, wav));
  rig.mute.failWith = 5;
  try {
    rig.show.start();
    FAIL() << "the mute error did not reach the caller";
  } catch (const VolumeError& error) {
    EXPECT_STREQ(error.what(), "Volume setting error... error is #5");
  }
  EXPECT_TRUE(rig.soundBackend.opened.empty());
  EXPECT_TRUE(rig.videoBackend.opened.empty());
  EXPECT_FALSE(rig.logged("timer on"));
  EXPECT_EQ(rig.view.panel, (Rect{27, 256, 185, 147}));
  EXPECT_EQ(rig.view.background, kBlack);

  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
}

TEST(ShowStartUp, aStartUpThatCannotWriteTheSettingsStillEndsOnInput) {
  ShowRig rig;
  // The configuration folder lies below a plain file, so neither the data
  // folder nor the default settings file can be made.
  test::WriteFile(rig.home.file("blocker"), "");
  rig.location = SettingsLocationIn(rig.home.file("blocker/config"));
  EXPECT_THROW(rig.show.start(), SettingsWriteError);
  EXPECT_FALSE(rig.boxes.shown.empty());
  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
}

TEST(ShowStartUp, aVanishedVideoShowsItsNameOnTheMessageScreen) {
  ShowRig rig;
  const std::string gone = rig.home.file("gone.avi");
  rig.settings(ShowRig::ini(kPlainOptions, {rig.clip("a.avi"), gone}));
  rig.show.start();
  EXPECT_TRUE(rig.view.infoVisible);
  EXPECT_EQ(rig.view.background, kWhite);
  EXPECT_EQ(rig.view.info, MissingFileText(gone));
  EXPECT_TRUE(rig.videoBackend.opened.empty());
}

TEST(ShowStartUp, aFirstVideoThatWillNotOpenIsPassedOverSilentlyOnTheNextTick) {
  ShowRig rig;
  const std::string broken = rig.home.file("broken.avi");
  test::WriteFile(broken, "not a video");
  const std::string good = rig.clip("good.avi");
  rig.settings(ShowRig::ini(kPlainOptions, {broken, good}));
  testing::internal::CaptureStderr();
  rig.show.start();
  // Without a box, the failure leaves its line on standard error.
  EXPECT_NE(testing::internal::GetCapturedStderr().find("quorrel: cannot play " + broken + ": "), std::string::npos);
  EXPECT_TRUE(rig.view.timerEnabled);
  EXPECT_TRUE(rig.boxes.shown.empty());
  // The player holds nothing, which counts as ended: the list goes on.
  rig.show.poll();
  EXPECT_TRUE(rig.logged("video play " + good));
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_TRUE(rig.view.timerEnabled);

  // When the next video cannot be played either, the tick reports it and
  // the cycle stops.
  ShowRig alone;
  const std::string only = alone.home.file("only.avi");
  test::WriteFile(only, "not a video");
  alone.settings(ShowRig::ini(kPlainOptions, {only}));
  alone.show.start();
  EXPECT_TRUE(alone.boxes.shown.empty());
  alone.show.poll();
  ASSERT_EQ(alone.boxes.shown.size(), 1u);
  EXPECT_NE(alone.boxes.shown[0].second.find(only), std::string::npos);
  EXPECT_FALSE(alone.view.timerEnabled);
}

TEST(PlaybackCycle, sizeModesOneToFourStretchTheVideoOverThePanel) {
  ShowRig rig;
  rig.settings(ShowRig::ini("Picdis=2", {rig.clip("a.avi")}));
  rig.show.start();
  EXPECT_EQ(rig.view.panel, (Rect{256, 192, 512, 384}));
  EXPECT_EQ(rig.videoBackend.current()->destination, (Rect{0, 0, 512, 384}));
}

TEST(PlaybackCycle, aPanelLargerThanTheScreenIsPlacedOnlyWhereItShows) {
  // A hand-edited custom size far beyond the 1024 x 768 screen, and a
  // video larger than the screen at its own size: the panels stay centred
  // with negative offsets, but only their parts on the screen are placed,
  // and the video is drawn at the whole panel's size and place within them.
  ShowRig rig;
  rig.settings(ShowRig::ini("Picdis=4\nWidth=32767\nHeight=32767", {rig.clip("a.avi")}));
  rig.show.start();
  EXPECT_EQ(rig.view.panel, (Rect{0, 0, 1024, 768}));
  EXPECT_EQ(rig.videoBackend.current()->destination, (Rect{-15872, -16000, 32767, 32767}));

  ShowRig natural;
  natural.settings(ShowRig::ini(kPlainOptions, {natural.clip("big.avi", 2048, 600)}));
  natural.show.start();
  EXPECT_EQ(natural.view.panel, (Rect{0, 84, 1024, 600}));
  EXPECT_EQ(natural.videoBackend.current()->destination, (Rect{-512, 0, 2048, 600}));
  // A smaller screen moves the cut, not the video's size.
  natural.view.width = 800;
  natural.show.screenChanged();
  EXPECT_EQ(natural.view.panel, (Rect{0, 84, 800, 600}));
  EXPECT_EQ(natural.videoBackend.current()->destination, (Rect{-624, 0, 2048, 600}));
}

TEST(PlaybackCycle, naturalSizeMovesAndResizesThePanelForEachVideo) {
  ShowRig rig;
  const std::string sound = rig.home.file("music.wav");
  test::WriteFile(sound, "wav");
  rig.videoBackend.files[sound] = {false, 0, 0};
  rig.settings(ShowRig::ini(kPlainOptions, {rig.clip("a.avi"), rig.clip("b.avi", 160, 120), sound}));
  rig.show.start();
  EXPECT_EQ(rig.view.panel, (Rect{352, 264, 320, 240}));
  rig.videoEnds();
  rig.show.poll();
  EXPECT_EQ(rig.view.panel, (Rect{432, 324, 160, 120}));
  EXPECT_EQ(rig.videoBackend.current()->destination, (Rect{0, 0, 160, 120}));
  // A list entry without a picture shrinks the panel to nothing.
  rig.videoEnds();
  rig.show.poll();
  EXPECT_EQ(rig.view.panel, (Rect{512, 384, 0, 0}));
}

TEST(PlaybackCycle, aPreviewShowsEachVideoWholeInItsLittleScreenWhateverTheSizeOption) {
  ShowRig rig;
  rig.view.width = 152;
  rig.view.height = 112;
  const std::vector<std::string> clips = {rig.clip("wide.mp4", 640, 360), rig.clip("tall.mp4", 240, 320)};
  for (const char* size : {"Picdis=1", "Picdis=4\nWidth=900\nHeight=900", "Picdis=5"}) {
    rig.settings(ShowRig::ini(std::string("Sound=0\nRepeat=0\nPicord=2\n") + size, clips));
    ShowServices services = rig.services();
    services.fitWholePicture = true;
    ShowController preview(services);
    preview.start();
    // 640 by 360 scaled to the width: 152 by 85.5, the half to the even 86.
    EXPECT_EQ(rig.view.panel, (Rect{0, 13, 152, 86})) << size;
    EXPECT_EQ(rig.videoBackend.current()->destination, (Rect{0, 0, 152, 86})) << size;
    rig.videoEnds();
    preview.poll();
    EXPECT_EQ(rig.view.panel, (Rect{34, 0, 84, 112})) << size;
    // A larger host window: the same video, fitted again, still whole.
    rig.view.width = 320;
    rig.view.height = 240;
    preview.screenChanged();
    EXPECT_EQ(rig.view.panel, (Rect{70, 0, 180, 240})) << size;
    EXPECT_EQ(rig.videoBackend.current()->destination, (Rect{0, 0, 180, 240})) << size;
    rig.view.width = 152;
    rig.view.height = 112;
  }
}

TEST(PlaybackCycle, onlyAStoppedVideoIsReplacedAndTheListWraps) {
  ShowRig rig;
  const std::vector<std::string> clips = {rig.clip("a.avi"), rig.clip("b.avi"), rig.clip("c.avi")};
  rig.settings(ShowRig::ini(kPlainOptions, clips));
  rig.show.start();
  for (const PlayerMode busy : {PlayerMode::Playing, PlayerMode::Paused, PlayerMode::Seeking, PlayerMode::NotReady}) {
    rig.videoBackend.current()->mode = busy;
    rig.show.poll();
  }
  EXPECT_EQ(rig.videoBackend.openedNames(), std::vector<std::string>{clips[0]});
  for (int i = 0; i < 3; ++i) {
    rig.videoEnds();
    rig.show.poll();
  }
  EXPECT_EQ(rig.videoBackend.openedNames(), (std::vector<std::string>{clips[0], clips[1], clips[2], clips[0]}));
  // The ended video was closed before the next one opened.
  EXPECT_LT(rig.at("video close " + clips[0]), rig.at("video open " + clips[1]));
  EXPECT_FALSE(rig.view.cursorVisible);
}

TEST(PlaybackCycle, aVideoThatFailsOnATickStopsTheCycleAndTheSound) {
  ShowRig rig;
  const std::string good = rig.clip("a.avi");
  const std::string corrupt = rig.home.file("corrupt.avi");
  test::WriteFile(corrupt, "garbage");
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Sound=1\nRepeat=1", {good, corrupt}, wav));
  rig.show.start();
  rig.videoEnds();
  rig.show.poll();

  ASSERT_EQ(rig.boxes.shown.size(), 1U);
  EXPECT_EQ(rig.boxes.shown[0].first, MessageKind::Error);
  EXPECT_EQ(rig.boxes.shown[0].second, "An error occurred trying to play the video file " + corrupt +
                                           ". The video file appears to be corrupt. Please verify that your video "
                                           "files are viewable.");
  EXPECT_LT(rig.at("timer off"), rig.at("sound stop " + wav));
  EXPECT_LT(rig.at("sound stop " + wav), rig.at("box"));
  EXPECT_FALSE(rig.view.timerEnabled);
  EXPECT_FALSE(rig.show.state().SoundOn);
  EXPECT_FALSE(rig.view.cursorVisible);
  // Even if a stray tick came, the stopped sound is not started again.
  rig.show.poll();
  EXPECT_EQ(rig.soundBackend.opened.size(), 1U);
}

TEST(PlaybackCycle, theSoundRepeatsOnlyWhenAskedTo) {
  for (const bool repeat : {true, false}) {
    ShowRig rig;
    const std::string wav = rig.wav();
    rig.settings(ShowRig::ini(std::string("Sound=1\nRepeat=") + (repeat ? "1" : "0"), {rig.clip("a.avi")}, wav));
    rig.show.start();
    rig.soundBackend.current()->mode = PlayerMode::Stopped;
    rig.show.poll();
    EXPECT_EQ(rig.soundBackend.opened.size(), repeat ? 2U : 1U) << repeat;
    if (repeat) {
      EXPECT_TRUE(rig.logged("sound play " + wav));
    }
  }
}

TEST(PlaybackCycle, aSoundThatCannotStartAgainIsReportedOnce) {
  ShowRig rig;
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Sound=1\nRepeat=1", {rig.clip("a.avi")}, wav));
  rig.show.start();
  rig.soundBackend.files.clear();
  rig.soundBackend.current()->mode = PlayerMode::Stopped;
  rig.show.poll();
  rig.show.poll();
  rig.show.poll();
  ASSERT_EQ(rig.boxes.shown.size(), 1U);
  EXPECT_EQ(rig.boxes.shown[0],
            std::make_pair(MessageKind::Error, std::string("The sound file is corrupt and cannot be played!")));
  EXPECT_TRUE(rig.show.state().SoundOn);
  EXPECT_TRUE(rig.view.timerEnabled);
}

TEST(EndingTheShow, inputTakesTheShowOffTheScreenThenAppliesTheEndMuteThenCloses) {
  ShowRig rig;
  const std::string clip = rig.clip("a.avi");
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Endon=0\nSound=1", {clip}, wav));
  rig.show.start();
  rig.log.clear();
  rig.show.inputHook(false);
  EXPECT_TRUE(rig.log.empty());

  rig.show.inputHook(true);
  // The players are the window's to release, after the mute, in a way
  // that cannot hold the process: the controller makes no player call that
  // could block once input has come.
  EXPECT_EQ(rig.log, (EventLog{"timer off", "off screen", "not running", "mute on", "close"}));
  EXPECT_FALSE(rig.show.state().InputBusy);
  // Later input (the same key reaching other windows) changes nothing.
  rig.show.inputHook(true);
  rig.show.poll();
  EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "close"), 1);
}

TEST(EndingTheShow, theMessageScreenLeavesTheScreenFirstToo) {
  ShowRig rig;
  rig.settings(ShowRig::ini("Endon=1", {}));
  rig.show.start();
  rig.log.clear();
  rig.show.inputHook(true);
  EXPECT_EQ(rig.log, (EventLog{"timer off", "off screen", "not running", "mute off", "close"}));
  EXPECT_TRUE(rig.view.offScreen);
}

TEST(EndingTheShow, aKeyWhileAVideoOpensEndsTheShowAndNothingPlaysAfter) {
  ShowRig rig;
  const std::string first = rig.clip("a.avi");
  const std::string second = rig.clip("b.avi");
  rig.settings(ShowRig::ini("Endon=0", {first, second}));
  rig.videoBackend.duringOpen = [&] { rig.show.inputHook(true); };
  rig.show.start();
  EXPECT_TRUE(rig.view.closed);
  EXPECT_LT(rig.at("video open " + first), rig.at("off screen"));
  EXPECT_EQ(std::count(rig.log.begin(), rig.log.end(), "video play " + first), 0);
  EXPECT_FALSE(rig.view.timerEnabled);
  // The same during a tick's open of the next video.
  ShowRig ticking;
  ticking.settings(ShowRig::ini(kPlainOptions, {ticking.clip("a.avi"), ticking.clip("b.avi")}));
  ticking.show.start();
  ticking.videoBackend.duringOpen = [&] { ticking.show.inputHook(true); };
  ticking.videoEnds();
  ticking.show.poll();
  EXPECT_TRUE(ticking.view.closed);
  EXPECT_EQ(ticking.log.back(), "close");
  EXPECT_FALSE(ticking.view.timerEnabled);
}

TEST(EndingTheShow, aFailedEndMuteIsReportedAndTheShowStillCloses) {
  ShowRig rig;
  rig.settings(ShowRig::ini("Endon=1", {}));
  rig.show.start();
  rig.mute.failWith = 3;
  rig.show.inputHook(true);
  EXPECT_EQ(rig.view.reported, std::vector<std::string>{"Volume setting error... error is #3"});
  EXPECT_LT(rig.at("report"), rig.at("close"));
}

TEST(EndingTheShow, theKeyThatDismissesAnErrorBoxEndsTheShow) {
  ShowRig rig;
  const std::string corrupt = rig.home.file("corrupt.avi");
  test::WriteFile(corrupt, "garbage");
  rig.settings(ShowRig::ini(kPlainOptions, {rig.clip("a.avi"), corrupt}));
  rig.show.start();
  rig.boxes.onShow = [&] { rig.show.inputHook(true); };
  rig.videoEnds();
  rig.show.poll();
  EXPECT_TRUE(rig.view.closed);
}

TEST(DisplayPower, aDarkDisplayPausesBothPlayersWhereTheyAreAndPowerOnResumesThem) {
  ShowRig rig;
  const std::string clip = rig.clip("a.avi");
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Sound=1\nRepeat=1", {clip, rig.clip("b.avi")}, wav));
  rig.show.start();
  rig.log.clear();

  rig.show.displayPowerChanged(true);
  EXPECT_EQ(rig.log, (EventLog{"video pause " + clip, "sound pause " + wav}));
  // The front end reports the level once a second; only a change counts.
  rig.show.displayPowerChanged(true);
  // A paused video is not taken for a finished one.
  rig.show.poll();
  rig.show.poll();
  EXPECT_EQ(rig.log.size(), 2U) << rig.log.back();
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Paused);
  EXPECT_EQ(rig.soundBackend.current()->mode, PlayerMode::Paused);

  rig.show.displayPowerChanged(false);
  rig.show.displayPowerChanged(false);
  // The same files go on: no stop, close, open or play from the start, and
  // the mute switch stays as it was throughout.
  EXPECT_EQ(rig.log,
            (EventLog{"video pause " + clip, "sound pause " + wav, "video resume " + clip, "sound resume " + wav}));
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Playing);
  EXPECT_EQ(rig.soundBackend.current()->mode, PlayerMode::Playing);
  EXPECT_EQ(rig.videoBackend.opened.size(), 1U);
  EXPECT_TRUE(rig.view.timerEnabled);
}

TEST(DisplayPower, whatEndedBeforeTheDisplayWentDarkWaitsForItToComeBack) {
  ShowRig rig;
  const std::vector<std::string> clips = {rig.clip("a.avi"), rig.clip("b.avi")};
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Sound=1\nRepeat=1", clips, wav));
  rig.show.start();
  rig.videoEnds();
  rig.soundBackend.current()->mode = PlayerMode::Stopped;

  rig.show.displayPowerChanged(true);
  for (int tick = 0; tick < 3; ++tick) rig.show.poll();
  // The order does not move on in the dark, and nothing ended is paused.
  EXPECT_EQ(rig.videoBackend.openedNames(), std::vector<std::string>{clips[0]});
  EXPECT_EQ(rig.soundBackend.opened.size(), 1U);
  EXPECT_FALSE(rig.logged("video pause " + clips[0]));

  rig.show.displayPowerChanged(false);
  // Nothing was paused, so nothing is resumed; the next tick goes on.
  EXPECT_FALSE(rig.logged("video resume " + clips[0]));
  rig.show.poll();
  EXPECT_EQ(rig.videoBackend.openedNames(), (std::vector<std::string>{clips[0], clips[1]}));
  EXPECT_EQ(rig.soundBackend.opened.size(), 2U);
}

TEST(DisplayPower, aShowStartedInTheDarkWaitsPausedAtItsFirstFrames) {
  ShowRig rig;
  const std::string clip = rig.clip("a.avi");
  const std::string wav = rig.wav();
  rig.settings(ShowRig::ini("Sound=1", {clip}, wav));
  rig.show.displayPowerChanged(true);
  rig.show.start();
  EXPECT_LT(rig.at("video play " + clip), rig.at("video pause " + clip));
  EXPECT_LT(rig.at("sound play " + wav), rig.at("sound pause " + wav));
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Paused);
  EXPECT_TRUE(rig.view.timerEnabled);
  rig.show.displayPowerChanged(false);
  EXPECT_EQ(rig.videoBackend.current()->mode, PlayerMode::Playing);
  EXPECT_EQ(rig.soundBackend.current()->mode, PlayerMode::Playing);

  // The message screen's background sound pauses too.
  ShowRig empty;
  const std::string music = empty.wav();
  empty.settings(ShowRig::ini("Sound=1", {}, music));
  empty.show.displayPowerChanged(true);
  empty.show.start();
  EXPECT_TRUE(empty.logged("sound pause " + music));
}

TEST(DisplayPower, inputEndsTheShowInTheDarkAndALaterPowerOnStartsNothing) {
  ShowRig rig;
  const std::string clip = rig.clip("a.avi");
  rig.settings(ShowRig::ini("Endon=0", {clip}));
  rig.show.start();
  rig.show.displayPowerChanged(true);
  rig.log.clear();
  rig.show.inputHook(true);
  EXPECT_EQ(rig.log, (EventLog{"timer off", "off screen", "not running", "mute on", "close"}));
  rig.show.displayPowerChanged(false);
  rig.show.poll();
  EXPECT_EQ(rig.log.back(), "close");
}

TEST(PasswordCheck, withoutKeyOrPasswordValueInputEndsAtOnce) {
  for (const std::optional<std::uint32_t> value : {std::optional<std::uint32_t>{}, std::optional<std::uint32_t>{0}}) {
    ShowRig rig;
    rig.password.endsAtOnce = false;
    rig.password.usePassword = value;
    rig.show.start();
    rig.show.inputHook(true);
    EXPECT_TRUE(rig.view.closed);
    EXPECT_EQ(rig.password.asked, 0);
  }
  ShowRig rig;
  rig.password.endsAtOnce = false;
  rig.password.keyOpens = false;
  rig.password.usePassword = 1;
  rig.show.start();
  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
  EXPECT_EQ(rig.password.asked, 0);
}

TEST(PasswordCheck, aWrongAnswerReturnsToTheShowAndTheRightOneEndsIt) {
  ShowRig rig;
  rig.password.endsAtOnce = false;
  rig.password.usePassword = 1;
  rig.password.answers = {false, true};
  rig.show.start();
  rig.log.clear();
  rig.show.inputHook(true);
  EXPECT_EQ(rig.log, (EventLog{"cursor shown", "asked", "library unloaded", "cursor hidden", "key closed"}));
  EXPECT_FALSE(rig.view.closed);
  EXPECT_FALSE(rig.show.state().InputBusy);

  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
  EXPECT_EQ(rig.password.asked, 2);
}

TEST(PasswordCheck, inputDuringTheCheckPassesUnexamined) {
  ShowRig rig;
  rig.password.endsAtOnce = false;
  rig.password.usePassword = 1;
  rig.password.answers = {false};
  rig.password.whileAsking = [&] { rig.show.inputHook(true); };
  rig.show.start();
  rig.show.inputHook(true);
  EXPECT_EQ(rig.password.asked, 1);
  EXPECT_FALSE(rig.view.closed);
}

TEST(PasswordCheck, aMissingPasswordDialogEndsTheShow) {
  ShowRig rig;
  rig.password.endsAtOnce = false;
  rig.password.usePassword = 1;
  rig.password.libraryLoads = false;
  rig.show.start();
  rig.show.inputHook(true);
  EXPECT_TRUE(rig.view.closed);
  EXPECT_LT(rig.at("cursor shown"), rig.at("close"));
}

}  // namespace
}  // namespace quorrel
