#include "windows/media/windows_media_backend.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "media/media_player.h"

namespace quorrel::windows_desktop {
namespace {

// A device that plays nothing and says which back end made it.
class NamedDevice final : public MediaDevice {
 public:
  explicit NamedDevice(std::string maker) : maker(std::move(maker)) {}
  bool hasVideo() const override { return false; }
  Rect sourceRect() const override { return {}; }
  std::uint32_t close() override { return 0; }
  std::uint32_t play() override { return 0; }
  std::uint32_t stop() override { return 0; }
  std::uint32_t pause() override { return 0; }
  std::uint32_t resume() override { return 0; }
  std::uint32_t seekToStart() override { return 0; }
  std::uint32_t position(std::int64_t& value) override { return value = 0, 0; }
  std::uint32_t length(std::int64_t& value) override { return value = 0, 0; }
  std::uint32_t mode(PlayerMode& mode) override { return mode = PlayerMode::Stopped, 0; }
  std::uint32_t setDisplayWindow(NativeWindow) override { return 0; }
  std::uint32_t setDestination(const Rect&) override { return 0; }
  std::uint32_t destination(Rect&) override { return 0; }
  std::string maker;
};

// Opens what it is told to, fails the rest with its code, and records the
// names it was asked for.
class ChoosyBackend final : public MediaBackend {
 public:
  ChoosyBackend(std::string name, std::uint32_t failure, std::string text)
      : name_(std::move(name)), failure_(failure), text_(std::move(text)) {}
  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow, std::uint32_t& errorCode) override {
    asked.push_back(fileName);
    if (fileName.find(refuses) != std::string::npos ||
        (name_ == "engine" && fileName.find(".avi") != std::string::npos)) {
      errorCode = failure_;
      return nullptr;
    }
    errorCode = 0;
    return std::make_unique<NamedDevice>(name_);
  }
  std::uint32_t noDeviceCode() const override { return failure_ + 1; }
  std::string errorText(std::uint32_t code) const override { return code == failure_ ? text_ : std::string(); }

  std::vector<std::string> asked;
  std::string refuses = "bad";

 private:
  std::string name_;
  std::uint32_t failure_;
  std::string text_;
};

class EngineStandIn final : public MediaEngineBackend {
 public:
  ChoosyBackend rules{"engine", 0x8007000Bu, "An attempt was made to load a program with an incorrect format."};
  std::optional<bool> muted;
  std::unique_ptr<MediaDevice> open(const std::string& f, NativeWindow d, std::uint32_t& e) override {
    return rules.open(f, d, e);
  }
  std::uint32_t noDeviceCode() const override { return rules.noDeviceCode(); }
  std::string errorText(std::uint32_t code) const override { return rules.errorText(code); }
  void setMuted(bool value) override { muted = value; }
};

struct Backends {
  ChoosyBackend* mci;
  EngineStandIn* engine;
  std::unique_ptr<WindowsMediaBackend> backend;
  Backends() {
    auto mciBackend = std::make_unique<ChoosyBackend>("mci", 275u, "The specified file cannot be found.");
    auto engineBackend = std::make_unique<EngineStandIn>();
    mci = mciBackend.get();
    engine = engineBackend.get();
    backend = std::make_unique<WindowsMediaBackend>(std::move(mciBackend), std::move(engineBackend));
  }
  std::string openedBy(const std::string& file) {
    std::uint32_t code = 0;
    auto device = backend->open(file, 0, code);
    return device ? static_cast<NamedDevice&>(*device).maker : "nobody";
  }
};

TEST(WindowsMediaBackend, soundsGoToMciAndVideosToTheMediaEngineFirstThenToMci) {
  Backends b;
  EXPECT_EQ(b.openedBy("C:\\Sounds\\Tone.WAV"), "mci");
  EXPECT_EQ(b.openedBy("C:\\Sounds\\tune.mid"), "mci");
  EXPECT_EQ(b.openedBy("C:\\Sounds\\tune.Midi"), "mci");
  EXPECT_EQ(b.openedBy("C:\\Sounds\\tune.rmi"), "mci");
  EXPECT_TRUE(b.engine->rules.asked.empty()) << "no sound reaches the engine";
  EXPECT_EQ(b.openedBy("C:\\Videos\\holiday.mp4"), "engine");
  EXPECT_EQ(b.openedBy("C:\\Videos.wav\\holiday"), "engine") << "a folder's extension says nothing";
  EXPECT_EQ(b.openedBy("C:\\Videos\\old.avi"), "mci") << "what the engine cannot open goes to MCI";
  EXPECT_EQ(b.engine->rules.asked.size(), 3u);
}

TEST(WindowsMediaBackend, aFileNeitherOpensFailsWithMcisCodeAndTextAsBefore) {
  Backends b;
  MediaPlayer player(*b.backend, 0, true);
  player.setFileName("C:\\Videos\\bad.mp4");
  try {
    player.open();
    ADD_FAILURE() << "opened";
  } catch (const MediaDeviceError& error) {
    EXPECT_EQ(std::string(error.what()), "The specified file cannot be found.");
  }
  EXPECT_EQ(player.error(), 275u);
  EXPECT_EQ(b.engine->rules.asked.size(), 1u);
  EXPECT_EQ(b.mci->asked.size(), 1u);
  // Codes from the engine's devices are HRESULTs, named by the engine.
  EXPECT_EQ(b.backend->errorText(0x8007000Bu), "An attempt was made to load a program with an incorrect format.");
  EXPECT_EQ(b.backend->noDeviceCode(), 276u) << "nothing open reads as MCI says";
}

// The engine says that the file's sound found no device to play on.
class SoundlessEngine final : public MediaEngineBackend {
 public:
  std::vector<std::string> asked;
  std::unique_ptr<MediaDevice> open(const std::string& f, NativeWindow, std::uint32_t& e) override {
    asked.push_back(f);
    e = f.find("quiet") != std::string::npos ? 0xC00D4E84u : 0x8007000Bu;  // MF_E_NO_AUDIO_PLAYBACK_DEVICE
    return nullptr;
  }
  std::uint32_t noDeviceCode() const override { return 1; }
  std::string errorText(std::uint32_t) const override { return {}; }
  void setMuted(bool) override {}
};

TEST(WindowsMediaBackend, withoutASoundDeviceVideosPlaySilentlyAndEverythingElseAsBefore) {
  bool soundDevice = false;
  auto mciBackend = std::make_unique<ChoosyBackend>("mci", 275u, "The specified file cannot be found.");
  auto silentBackend = std::make_unique<ChoosyBackend>("silent", 0xC00D36C4u, "Unsupported byte stream type.");
  auto engineBackend = std::make_unique<SoundlessEngine>();
  ChoosyBackend& mci = *mciBackend;
  ChoosyBackend& silent = *silentBackend;
  SoundlessEngine& engine = *engineBackend;
  silent.refuses = ".avi";
  WindowsMediaBackend backend(std::move(mciBackend), std::move(engineBackend), std::move(silentBackend),
                              [&soundDevice] { return soundDevice; });
  auto openedBy = [&backend](const std::string& file) {
    std::uint32_t code = 0;
    auto device = backend.open(file, 0, code);
    return device ? static_cast<NamedDevice&>(*device).maker : "nobody";
  };
  // No device: the engine, which would show nothing, is not asked.
  EXPECT_EQ(openedBy("C:\\Videos\\holiday.mp4"), "silent");
  EXPECT_TRUE(engine.asked.empty());
  EXPECT_EQ(openedBy("C:\\Sounds\\tone.wav"), "mci") << "the background sound stays MCI's, which may refuse it";
  EXPECT_EQ(openedBy("C:\\Videos\\new.avi"), "mci") << "what the silent player cannot open goes to MCI";
  EXPECT_EQ(silent.asked.size(), 2u);
  // A device plugged in: the engine again; one it cannot open for the
  // sound's sake plays silently, any other failure goes to MCI as before.
  soundDevice = true;
  EXPECT_EQ(openedBy("C:\\Videos\\quiet.mp4"), "silent");
  EXPECT_EQ(openedBy("C:\\Videos\\old.avi"), "mci");
  EXPECT_EQ(engine.asked.size(), 2u);
  EXPECT_EQ(silent.asked.size(), 3u);
  EXPECT_EQ(mci.asked.size(), 3u);
}

// The system's switch fails under a test's hand or succeeds.
class SwitchStandIn final : public SystemMute {
 public:
  bool fail = false;
  std::vector<bool> set;
  void setSystemMute(bool mute) override {
    if (fail) throw VolumeError(-2147023728);
    set.push_back(mute);
  }
};

TEST(VideoSoundFollowingMute, theVideosFollowTheSystemSwitchOnlyWhenItWasSet) {
  Backends b;
  SwitchStandIn system;
  VideoSoundFollowingMute mute(system, *b.backend);
  mute.setSystemMute(true);
  EXPECT_EQ(system.set, std::vector<bool>{true});
  EXPECT_EQ(b.engine->muted, std::optional<bool>(true));
  mute.setSystemMute(false);
  EXPECT_EQ(b.engine->muted, std::optional<bool>(false));
  system.fail = true;
  EXPECT_THROW(mute.setSystemMute(true), VolumeError);
  EXPECT_EQ(b.engine->muted, std::optional<bool>(false)) << "the system stayed audible, and so do the videos";
}

}  // namespace
}  // namespace quorrel::windows_desktop
