#pragma once

// Fakes of the services the show's logic talks to, sharing one log so that
// tests can check the order of what happened across them.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "media/media_device.h"
#include "media/media_player.h"
#include "media/system_mute.h"
#include "settings/data_folder.h"
#include "show/random_pick.h"
#include "show/screen_saver_password.h"
#include "show/show_controller.h"
#include "show/show_view.h"
#include "tests/support/process.h"

namespace quorrel::test {

using EventLog = std::vector<std::string>;

// One file as the fake back end opens it.
struct FakeFile {
  bool hasVideo = true;
  std::int32_t width = 320;
  std::int32_t height = 240;
};

// The state of one opened device, kept by the back end after the player has
// destroyed the device, so that tests can end a file or look back.
struct FakeDeviceState {
  std::string fileName;
  PlayerMode mode = PlayerMode::Stopped;
  Rect destination;
  bool closed = false;
};

class FakeBackend : public MediaBackend {
 public:
  FakeBackend(std::string name, EventLog& log) : name_(std::move(name)), log_(log) {}

  std::unique_ptr<MediaDevice> open(const std::string& fileName, NativeWindow display,
                                    std::uint32_t& errorCode) override;
  std::uint32_t noDeviceCode() const override { return 7; }
  std::string errorText(std::uint32_t code) const override {
    return code == 263 ? "The specified device is not open or is not recognized by MCI." : "";
  }

  std::map<std::string, FakeFile> files;
  std::vector<std::shared_ptr<FakeDeviceState>> opened;
  // Runs in the middle of every open, as a front end's input handling runs
  // while a slow file opens.
  std::function<void()> duringOpen;
  // The device opened last, or nullptr.
  [[nodiscard]] FakeDeviceState* current() const { return opened.empty() ? nullptr : opened.back().get(); }
  [[nodiscard]] std::vector<std::string> openedNames() const;

 private:
  friend class FakeDevice;
  std::string name_;
  EventLog& log_;
};

class FakeMute : public SystemMute {
 public:
  explicit FakeMute(EventLog& log) : log_(log) {}
  void setSystemMute(bool mute) override {
    log_.push_back(mute ? "mute on" : "mute off");
    if (failWith) throw VolumeError(*failWith);
  }
  std::optional<int> failWith;

 private:
  EventLog& log_;
};

class FakeClock : public UtcClock {
 public:
  std::uint32_t millisecondsSinceMidnight() const override { return milliseconds; }
  std::uint32_t milliseconds = 0;
};

class FakeBoxes : public MessageBoxes {
 public:
  explicit FakeBoxes(EventLog& log) : log_(log) {}
  void showMessage(MessageKind kind, const std::string& text) override {
    log_.push_back("box");
    shown.push_back({kind, text});
    if (onShow) onShow();
  }
  std::vector<std::pair<MessageKind, std::string>> shown;
  // Runs while the box is "open", as input reaching the hook would.
  std::function<void()> onShow;

 private:
  EventLog& log_;
};

class FakeView : public ShowView {
 public:
  explicit FakeView(EventLog& log) : log_(log) {}
  std::int32_t screenWidth() const override { return width; }
  std::int32_t screenHeight() const override { return height; }
  void setBackground(Colour colour) override { background = colour; }
  void placePanel(const Rect& geometry) override { panel = geometry; }
  void setPanelVisible(bool visible) override { panelVisible = visible; }
  void setMessageText(const std::string& text) override { info = text; }
  void setMessageVisible(bool visible) override { infoVisible = visible; }
  void setCursorVisible(bool visible) override {
    cursorVisible = visible;
    log_.push_back(visible ? "cursor shown" : "cursor hidden");
  }
  void setTimerEnabled(bool enabled) override {
    timerEnabled = enabled;
    log_.push_back(enabled ? "timer on" : "timer off");
  }
  void reportError(const std::string& message) override {
    reported.push_back(message);
    log_.push_back("report");
  }
  void takeOffScreen() override {
    offScreen = true;
    log_.push_back("off screen");
  }
  void closeShow() override {
    closed = true;
    log_.push_back("close");
  }

  std::int32_t width = 1024;
  std::int32_t height = 768;
  Colour background{1, 2, 3};
  Rect panel{27, 256, 185, 147};
  bool panelVisible = true;
  std::string info = kNoVideosText;
  bool infoVisible = false;
  bool cursorVisible = true;
  bool timerEnabled = false;
  bool offScreen = false;
  bool closed = false;
  std::vector<std::string> reported;

 private:
  EventLog& log_;
};

class FakeFlag : public ScreenSaverFlag {
 public:
  explicit FakeFlag(EventLog& log) : log_(log) {}
  void setScreenSaverRunning(bool running) override { log_.push_back(running ? "running" : "not running"); }

 private:
  EventLog& log_;
};

// A platform outside the NT family with a scripted desktop key and dialog.
class FakePassword : public ScreenSaverPassword {
 public:
  explicit FakePassword(EventLog& log) : log_(log) {}
  bool endsWithoutPassword() const override { return endsAtOnce; }
  std::unique_ptr<DesktopSettingsKey> openDesktopKey() override;
  std::unique_ptr<PasswordVerifier> loadVerifier() override;

  bool endsAtOnce = false;
  bool keyOpens = true;
  std::optional<std::uint32_t> usePassword;
  bool libraryLoads = true;
  std::vector<bool> answers;  // the dialog's results, one per check
  std::function<void()> whileAsking;
  int asked = 0;

 private:
  EventLog& log_;
};

// The settings folder and every fake a show runs on, all writing to one
// log: what each show test starts from.
struct ShowFakes {
  ShowFakes() { password.endsAtOnce = true; }
  ShowFakes(const ShowFakes&) = delete;
  ShowFakes& operator=(const ShowFakes&) = delete;

  [[nodiscard]] ShowServices services() {
    return ShowServices{location, view, sound, video, mute, clock, password, flag, boxes};
  }

  TempDir home;
  SettingsLocation location = SettingsLocationIn(home.path());
  EventLog log;
  FakeBackend soundBackend{"sound", log};
  FakeBackend videoBackend{"video", log};
  MediaPlayer sound{soundBackend, 0, false};
  MediaPlayer video{videoBackend, 4242, true};
  FakeMute mute{log};
  FakeClock clock;
  FakePassword password{log};
  FakeFlag flag{log};
  FakeBoxes boxes{log};
  FakeView view{log};
};

}  // namespace quorrel::test
