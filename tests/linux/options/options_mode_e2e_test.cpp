#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/core/options/option_fakes.h"
#include "tests/linux/options/x_screen.h"
#include "tests/support/process.h"
#include "tests/support/test_media.h"

namespace quorrel::linux_desktop {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::ClickAt;
using test::FindWindow;
using test::PressKey;

constexpr std::array<int, 3> kBackground = {232, 231, 230};

// The program on a fresh home of its own, as a user's first run.
class ConfigMode : public ::testing::Test {
 protected:
  std::map<std::string, std::string> environment() const {
    std::map<std::string, std::string> environment = {{"HOME", home.path()},
                                                       {"XDG_CONFIG_HOME", home.path() + "/.config"}};
    environment.insert(test::kDesktopLocale.begin(), test::kDesktopLocale.end());
    return environment;
  }
  std::string settingsPath() const { return home.path() + "/.config/Quorrel/quorrel4.ini"; }
  std::string settings() const { return test::ReadFile(settingsPath()); }
  bool settingsHold(const std::string& line) const {
    return std::filesystem::exists(settingsPath()) && settings().find("\n" + line + "\n") != std::string::npos;
  }
  static std::string screenFile(const std::string& name) {
    std::filesystem::create_directories(QUORREL_SCREENSHOT_DIR);
    return std::string(QUORREL_SCREENSHOT_DIR) + "/" + name;
  }

  test::TempDir home;
};

TEST_F(ConfigMode, aVideoAddedByTypingAndOptionsSavedByEnterAreWhatTheShowPlays) {
  const std::string clip = test::MakeClip({.pattern = "red", .width = 320, .height = 240, .seconds = 3.0});
  ChildProcess config({QUORREL_EXECUTABLE, "/C"}, environment());
  const auto dialog = FindWindow("Quorrel Options", 20000);
  ASSERT_TRUE(dialog) << "the options dialog did not appear; the program "
                      << (config.running() ? "still runs" : "has ended");
  EXPECT_EQ(dialog->width, 642);
  EXPECT_EQ(dialog->height, 477);

  // "Add Video", then the path typed into the chooser's file name box.
  ClickAt(dialog->left + 1 + 6 + 53, dialog->top + 140 + 18 + 10);
  ASSERT_TRUE(FindWindow("Open"));
  test::TypeText(clip);
  PressKey("Return");
  ASSERT_TRUE(test::WaitUntil([&] { return settingsHold("Name1=" + clip); }, 10s)) << settings();

  // "Large (Full Screen)" and "Random", then Enter for "OK".
  ClickAt(dialog->left + 2 + 204 + 8, dialog->top + 210 + 16 + 8);
  ClickAt(dialog->left + 379 + 144 + 8, dialog->top + 210 + 19 + 8);
  PressKey("Return");
  const auto status = config.waitFor(10s);
  ASSERT_TRUE(status.has_value()) << "Enter did not close the dialog";
  EXPECT_EQ(*status, 0);
  EXPECT_TRUE(settingsHold("Picdis=1")) << settings();
  EXPECT_TRUE(settingsHold("Picord=1"));
  EXPECT_TRUE(settingsHold("Sound=0"));
  EXPECT_TRUE(settingsHold("Status=0"));
  EXPECT_TRUE(settingsHold("Last Dir=" + clip.substr(0, clip.rfind('/') + 1)));

  // The show reads the same file and fills the screen with the red clip.
  ChildProcess show({QUORREL_EXECUTABLE, "/S"}, environment());
  ASSERT_TRUE(FindWindow("FrmQuorrel33")) << "the show did not start";
  const bool red = test::WaitUntil(
      [&] { return test::CaptureScreen(screenFile("show-after-config.png")).near(512, 384, {255, 0, 0}, 60); }, 10s);
  EXPECT_TRUE(red) << "the chosen video is not on screen";
  PressKey("space");
  EXPECT_EQ(show.waitFor(10s), std::optional<int>(0));
}

TEST_F(ConfigMode, screenshotsOfTheFourWindowsMatchTheirLayout) {
  const std::string clip = test::MakeClip({.pattern = "red", .width = 320, .height = 240, .seconds = 8.0});
  std::filesystem::create_directories(home.path() + "/.config/Quorrel");
  test::WriteFile(settingsPath(), test::DefaultSettingsText({clip}));
  ChildProcess config({QUORREL_EXECUTABLE, "/C"}, environment());
  const auto dialog = FindWindow("Quorrel Options");
  ASSERT_TRUE(dialog);
  const int x = dialog->left;
  const int y = dialog->top;
  test::SleepFor(500ms);

  auto shot = test::CaptureScreen(screenFile("options.png"));
  EXPECT_TRUE(shot.near(x + 360, y + 300, kBackground)) << "window background";
  EXPECT_TRUE(shot.near(x + 320, y + 110, {232, 232, 232})) << "list box background";
  EXPECT_FALSE(shot.near(x + 100, y + 37, kBackground, 20)) << "list box frame";
  EXPECT_TRUE(shot.near(x + 100, y + 35, kBackground)) << "above the list box";
  EXPECT_TRUE(shot.near(x + 450, y + 146, {160, 160, 160}, 12)) << "frame of the video files group";
  EXPECT_TRUE(shot.any(x + 537, y + 455, 102, 21, [](auto p) { return p[1] > p[0] + 50 && p[1] > p[2] + 50; }))
      << "the OK button's check mark";
  EXPECT_TRUE(shot.any(x + 1 + 14, y + 140 + 46, 209, 13, [](auto p) { return p[0] < 100; })) << "the count label";

  ClickAt(x + 1 + 445 + 50, y + 140 + 18 + 10);
  const auto sound = FindWindow("Video Sound");
  ASSERT_TRUE(sound);
  test::SleepFor(300ms);
  shot = test::CaptureScreen(screenFile("video-sound.png"));
  EXPECT_TRUE(shot.near(sound->left + 3, sound->top + 85, kBackground)) << "left of the start panel";
  EXPECT_FALSE(shot.near(sound->left + 5, sound->top + 85, kBackground, 20)) << "the start panel's sunken edge";
  EXPECT_FALSE(shot.near(sound->left + 5, sound->top + 140, kBackground, 20)) << "the end panel's sunken edge";
  EXPECT_TRUE(shot.any(sound->left + 251, sound->top + 177, 75, 25, [](auto p) { return p[1] > p[0] + 50; }))
      << "the Return button's check mark";
  PressKey("Return");
  ASSERT_TRUE(test::WaitUntil([] { return !FindWindow("Video Sound", 0); }, 5s));

  ClickAt(x + 537 + 50, y + 430 + 10);
  const auto about = FindWindow("Quorrel Displayer");
  ASSERT_TRUE(about);
  EXPECT_EQ(about->width, 514);
  EXPECT_EQ(about->height, 336);
  test::SleepFor(300ms);
  shot = test::CaptureScreen(screenFile("about.png"));
  EXPECT_TRUE(shot.near(about->left + 100, about->top + 22, {160, 160, 160}, 12)) << "the outer frame";
  EXPECT_TRUE(shot.near(about->left + 100, about->top + 19, kBackground)) << "above the outer frame";
  EXPECT_TRUE(shot.any(about->left + 13 + 22, about->top + 16 + 22, 120, 20, [](auto p) { return p[0] < 100; }))
      << "the version text";
  EXPECT_TRUE(shot.any(about->left + 13 + 20 + 12, about->top + 16 + 80 + 110, 300, 30,
                       [](auto p) { return p[0] < 100; }))
      << "the third disclaimer text";
  ClickAt(about->left + 428 + 37, about->top + 300 + 12);
  ASSERT_TRUE(test::WaitUntil([] { return !FindWindow("Quorrel Displayer", 0); }, 5s));

  ClickAt(x + 1 + 560 + 37, y + 140 + 15 + 12);
  const auto preview = FindWindow("Preview Video");
  ASSERT_TRUE(preview);
  ClickAt(preview->left + 456 + 37, preview->top + 95 + 12);
  const int panelX = preview->left + 16;
  const int panelY = preview->top + 8;
  const bool playing = test::WaitUntil(
      [&] {
        shot = test::CaptureScreen(screenFile("preview.png"));
        return shot.near(panelX + 100, panelY + 100, {255, 0, 0}, 60);
      },
      10s);
  EXPECT_TRUE(playing) << "the clip is not drawn in the panel's corner";
  EXPECT_TRUE(shot.near(panelX + 300, panelY + 220, {255, 0, 0}, 60)) << "the clip's natural size";
  EXPECT_TRUE(shot.near(panelX + 400, panelY + 280, kBackground)) << "the clip is not stretched";
  EXPECT_TRUE(shot.any(preview->left + 5, preview->top + 319, 529, 34, [](auto p) { return p[0] < 100; }))
      << "the name label";
  // Return while the clip plays stops it and closes the window; the
  // program goes on.
  ClickAt(preview->left + 464 + 37, preview->top + 359 + 12);
  ASSERT_TRUE(test::WaitUntil([] { return !FindWindow("Preview Video", 0); }, 5s));
  test::SleepFor(500ms);
  EXPECT_TRUE(config.running()) << "closing the preview ended the program";

  ClickAt(x + 537 + 50, y + 455 + 10);
  EXPECT_EQ(config.waitFor(10s), std::optional<int>(0));
}

TEST_F(ConfigMode, twoOpenDialogsEachKeepTheVideoTheyAdded) {
  const std::string first = test::MakeClip({.pattern = "red", .seconds = 1.0});
  const std::string second = test::MakeClip({.pattern = "blue", .seconds = 1.0});
  std::filesystem::create_directories(home.path() + "/.config/Quorrel");
  test::WriteFile(settingsPath(), test::DefaultSettingsText());

  // Both dialogs have read the empty list before either adds a video.
  ChildProcess older({QUORREL_EXECUTABLE, "/C"}, environment());
  ASSERT_TRUE(FindWindow("Quorrel Options", 20000));
  ChildProcess newer({QUORREL_EXECUTABLE, "/C"}, environment());
  ASSERT_TRUE(test::WaitUntil([] { return test::WindowsTitled("Quorrel Options") == 2; }, 20s));

  // The newer dialog lies on top: it adds its video and is closed with OK.
  const auto top = FindWindow("Quorrel Options");
  ASSERT_TRUE(top);
  auto addVideo = [&](const test::WindowPlace& dialog, const std::string& clip) {
    ClickAt(dialog.left + 1 + 6 + 53, dialog.top + 140 + 18 + 10);
    ASSERT_TRUE(FindWindow("Open"));
    test::TypeText(clip);
    PressKey("Return");
    ASSERT_TRUE(test::WaitUntil([&] { return settings().find("=" + clip + "\n") != std::string::npos; }, 10s));
  };
  auto clickOk = [](const test::WindowPlace& dialog) { ClickAt(dialog.left + 537 + 50, dialog.top + 455 + 10); };
  addVideo(*top, first);
  clickOk(*top);
  ASSERT_EQ(newer.waitFor(10s), std::optional<int>(0));

  // The older dialog still shows slot 1 as free; its video goes to the next
  // slot the file has free, and the first video stays.
  const auto below = FindWindow("Quorrel Options");
  ASSERT_TRUE(below);
  addVideo(*below, second);
  clickOk(*below);
  ASSERT_EQ(older.waitFor(10s), std::optional<int>(0));
  EXPECT_TRUE(settingsHold("Name1=" + first)) << settings();
  EXPECT_TRUE(settingsHold("Name2=" + second));
}

TEST_F(ConfigMode, aSettingsFileThatCannotBeMadeIsReportedBeforeTheModeEnds) {
  // The configuration folder lies below a plain file, as on a home that
  // cannot be written: neither the folder nor the file can be made.
  test::WriteFile(home.path() + "/blocker", "");
  auto blocked = environment();
  blocked["XDG_CONFIG_HOME"] = home.path() + "/blocker/config";
  ChildProcess config({QUORREL_EXECUTABLE, "/C"}, blocked);
  ASSERT_TRUE(FindWindow("Warning", 20000)) << "no warning about the folder";
  PressKey("Return");
  // The general error report, captioned with the program's title.
  ASSERT_TRUE(FindWindow("quorrel", 10000)) << "the failed write was not reported";
  EXPECT_TRUE(config.running());
  PressKey("Return");
  EXPECT_EQ(config.waitFor(10s), std::optional<int>(0));
  EXPECT_FALSE(FindWindow("Quorrel Options", 0));
}

}  // namespace
}  // namespace quorrel::linux_desktop
