// The mute switch on the test sound server (a PulseAudio null sink).

#include <gtest/gtest.h>
#include <pulse/def.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "linux/media/pulse_mute.h"
#include "tests/support/process.h"

namespace quorrel::linux_desktop {
namespace {

std::string DefaultSinkMute() {
  return test::RunProcess({"pactl", "get-sink-mute", "@DEFAULT_SINK@"}, std::chrono::seconds(10)).output;
}

// Points the mute at another server for one test and back afterwards.
class ServerOverride {
 public:
  explicit ServerOverride(const std::string& server) {
    if (const char* old = std::getenv("PULSE_SERVER")) previous_ = old;
    setenv("PULSE_SERVER", server.c_str(), 1);
  }
  ~ServerOverride() {
    if (previous_) {
      setenv("PULSE_SERVER", previous_->c_str(), 1);
    } else {
      unsetenv("PULSE_SERVER");
    }
  }

 private:
  std::optional<std::string> previous_;
};

// Runs setSystemMute and returns the error it raised (code 0: none), and
// how long it took.
std::pair<int, std::chrono::milliseconds> TimedMute(bool mute, std::string* message = nullptr) {
  const auto start = std::chrono::steady_clock::now();
  int code = 0;
  try {
    CreatePulseMute()->setSystemMute(mute);
  } catch (const VolumeError& e) {
    code = e.code();
    if (message) *message = e.what();
  }
  return {code, std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)};
}

TEST(SystemMuteTest, muteAndUnmuteReachTheDefaultSink) {
  EXPECT_EQ(TimedMute(true).first, 0);
  EXPECT_EQ(DefaultSinkMute(), "Mute: yes\n");
  EXPECT_EQ(TimedMute(false).first, 0);
  EXPECT_EQ(DefaultSinkMute(), "Mute: no\n");
}

TEST(SystemMuteTest, settingTheSameStateTwiceIsNoError) {
  EXPECT_EQ(TimedMute(true).first, 0);
  EXPECT_EQ(TimedMute(true).first, 0);
  EXPECT_EQ(DefaultSinkMute(), "Mute: yes\n");
  EXPECT_EQ(TimedMute(false).first, 0);
  EXPECT_EQ(TimedMute(false).first, 0);
  EXPECT_EQ(DefaultSinkMute(), "Mute: no\n");
}

TEST(SystemMuteTest, noServerRaisesTheVolumeErrorWithTheLibraryCode) {
  test::TempDir dir;
  ServerOverride server("unix:" + dir.file("no-such-socket"));
  std::string message;
  const auto [code, took] = TimedMute(true, &message);
  EXPECT_NE(code, 0);
  EXPECT_EQ(message, "Volume setting error... error is #" + std::to_string(code));
  EXPECT_LT(took, std::chrono::seconds(3));
}

TEST(SystemMuteTest, aServerThatNeverAnswersTimesOutWithinTheBound) {
  // A socket that accepts connections into its backlog but never speaks.
  test::TempDir dir;
  const std::string path = dir.file("silent");
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  ServerOverride server("unix:" + path);
  const auto [code, took] = TimedMute(false);
  close(listener);
  EXPECT_EQ(code, PA_ERR_TIMEOUT);
  EXPECT_GE(took, std::chrono::milliseconds(1900));
  EXPECT_LT(took, std::chrono::seconds(4));
}

TEST(SystemMuteTest, serverWithoutASinkRefusesWithNoEntity) {
  // Only on the test server's own null sink: a user's sound set-up is never
  // taken apart.
  const std::string sink = test::RunProcess({"pactl", "get-default-sink"}).output;
  if (sink != "quorrel_null\n") GTEST_SKIP() << "not the test sound server";
  const std::string module = test::RunProcess({"sh", "-c", "pactl list short modules | awk '/module-null-sink/ {print $1}'"}).output;
  ASSERT_FALSE(module.empty());
  ASSERT_EQ(test::RunProcess({"pactl", "unload-module", module.substr(0, module.find('\n'))}).exitStatus, 0);
  const int code = TimedMute(true).first;
  test::RunProcess({"pactl", "load-module", "module-null-sink", "sink_name=quorrel_null"});
  test::RunProcess({"pactl", "set-default-sink", "quorrel_null"});
  EXPECT_EQ(code, PA_ERR_NOENTITY);
  EXPECT_EQ(TimedMute(false).first, 0);
}

TEST(SystemMuteTest, volumeErrorTextCarriesTheCode) {
  EXPECT_STREQ(VolumeError(12).what(), "Volume setting error... error is #12");
  EXPECT_EQ(VolumeError(12).code(), 12);
}

}  // namespace
}  // namespace quorrel::linux_desktop
