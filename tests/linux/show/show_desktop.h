#pragma once

// Driving the real `quorrel /S` on an X display and a sound server as a
// user would, and looking at the screen and the speakers to see what it
// does.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/process.h"

namespace quorrel::test {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// The colours the test clips use, told apart with room for codec error.
enum class Seen { Black, White, Red, Green, Blue, Yellow, Other };
[[nodiscard]] Seen Classify(Rgb pixel);
[[nodiscard]] const char* Name(Seen colour);

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& out, const Box& box);

// The whole root window of one display, read once.
class Screenshot {
 public:
  explicit Screenshot(const std::string& display);
  // A picture taken some other way: 32 bits per pixel, blue first.
  Screenshot(int width, int height, std::vector<std::uint8_t> pixels);
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] Rgb at(int x, int y) const;
  // The smallest box holding every pixel of that colour; empty when none.
  [[nodiscard]] Box boundsOf(Seen colour) const;
  [[nodiscard]] int count(Seen colour, const Box& area) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;  // 32 bits per pixel, blue first
};

// One pixel of a display's root window.
[[nodiscard]] Rgb PixelAt(const std::string& display, int x, int y);

// Clips generated into the test-media folder once.
// A picture of one colour for the whole clip.
std::string SolidClip(const std::string& colour, int width, int height, double seconds);
// A colour for the first half, black for the second, so that every start
// of the clip shows as a new flash of colour.
std::string FlashClip(const std::string& colour, double seconds);
// Solid colours one after another, each for its number of seconds, so that
// what shows tells how far the clip has played.
std::string ColourSequenceClip(const std::vector<std::pair<std::string, double>>& parts);

// Writes the settings file that a show started with XDG_CONFIG_HOME set to
// `configHome` reads: the options lines, the videos in the first slots and
// "Null" in the others, and the background sound.
void WriteSettings(const std::string& configHome, const std::string& options, const std::vector<std::string>& videos,
                   const std::string& sound = "Null");

// One run of `quorrel /S` in a home of its own.
class ShowRun {
 public:
  explicit ShowRun(std::string display = DefaultDisplay());
  ~ShowRun();
  ShowRun(const ShowRun&) = delete;
  ShowRun& operator=(const ShowRun&) = delete;

  // The settings file, written before start().
  void settings(const std::string& options, const std::vector<std::string>& videos, const std::string& sound = "Null");
  [[nodiscard]] std::string file(const std::string& name) const { return home_.file(name); }
  // What the program has written to standard error so far.
  [[nodiscard]] std::string standardError() const;

  // Starts the show and waits until its window is on screen.
  void start(const std::map<std::string, std::string>& extraEnvironment = {});
  [[nodiscard]] bool windowVisible() const;
  // The exit status once the process has ended within `timeout`.
  std::optional<int> waitForExit(std::chrono::milliseconds timeout);
  [[nodiscard]] bool running();
  void signal(int number);
  [[nodiscard]] pid_t pid() const;

  [[nodiscard]] const std::string& display() const { return display_; }
  static std::string DefaultDisplay();

 private:
  TempDir home_;
  std::string display_;
  // An X server without clients resets itself and refuses connections for
  // a moment; this connection keeps it from doing so between the
  // program's own connections.
  std::shared_ptr<void> keepAlive_;
  std::unique_ptr<ChildProcess> process_;
};

// An X server of a given size for one test, on a display number of its
// own, stopped again by the destructor.
class OwnXvfb {
 public:
  // `resets`: the server resets as its last client leaves, as a bare X
  // server does; the test servers otherwise never do.
  OwnXvfb(int width, int height, bool resets = false);
  ~OwnXvfb();
  OwnXvfb(const OwnXvfb&) = delete;
  OwnXvfb& operator=(const OwnXvfb&) = delete;
  [[nodiscard]] const std::string& display() const { return display_; }
  // Ends the server, as a logout does, and waits until it has gone.
  void stop();

 private:
  TempDir dir_;
  std::string display_;
  std::unique_ptr<ChildProcess> server_;
};

// A PulseAudio daemon with a null sink for one test, which the test may
// kill or freeze as a failing sound server would go.
class OwnPulse {
 public:
  OwnPulse();
  ~OwnPulse();
  OwnPulse(const OwnPulse&) = delete;
  OwnPulse& operator=(const OwnPulse&) = delete;
  // The value for PULSE_SERVER.
  [[nodiscard]] std::string server() const { return "unix:" + dir_.file("native"); }
  void signal(int number) { daemon_->signal(number); }

 private:
  TempDir dir_;
  std::unique_ptr<ChildProcess> daemon_;
};

// xrandr on the given display. Its exit status is not looked at: Xvfb
// answers an output switched off with an error about the screen size,
// having switched it off all the same.
void Xrandr(const std::string& display, const std::vector<std::string>& arguments);

// xdotool on the given display.
void Xdotool(const std::string& display, const std::vector<std::string>& arguments);
[[nodiscard]] bool WindowNamed(const std::string& display, const std::string& title);
// Whether the window with the keyboard focus has this title: a window is
// on screen a moment before the window manager gives it the keys.
[[nodiscard]] bool FocusedWindowNamed(const std::string& display, const std::string& title);

// The processor time a running process has used so far, its threads
// included (user and system time from /proc/PID/stat), in seconds.
[[nodiscard]] double CpuSeconds(pid_t pid);

// The default sink's mute switch, through pactl, on the test's sound
// server or on the one `server` names (an OwnPulse's).
void SetSinkMute(bool mute, const std::string& server = {});
[[nodiscard]] std::optional<bool> SinkMuted(const std::string& server = {});

// The sound streams that a process has on the sound server, by stream
// index, each with whether it is playing (not corked). The media back end
// opens a new stream for every file it opens, so new indices count starts.
[[nodiscard]] std::map<int, bool> SoundStreamsOf(pid_t pid, const std::string& server = {});

// Collects the stream indices of a process seen over `duration`, polling.
[[nodiscard]] std::set<int> WatchSoundStreams(pid_t pid, std::chrono::milliseconds duration,
                                             std::size_t enough = SIZE_MAX);

// Samples the colour at (x, y) every 40 ms until `done` says so or
// `timeout` passes; returns the colours seen, runs of one colour merged.
std::vector<Seen> WatchColours(const std::string& display, int x, int y, std::chrono::milliseconds timeout,
                               const std::function<bool(const std::vector<Seen>&)>& done);

// How an OwnDesktopShow starts.
struct OwnDesktopStart {
  // The value for PULSE_SERVER; empty: the show's own sound server.
  std::string soundServer;
  // Whether the X server resets as its last client leaves, as a bare X
  // server does (no -noreset).
  bool serverResets = false;
  // The program's descriptors, as bash redirections after the command,
  // where "$2" names the file that standardError() reads.
  std::string redirections = "2>\"$2\"";
  // The list; empty: one red clip of 30 seconds.
  std::vector<std::string> videos;
};

// `quorrel <argument>` on an X server and a sound server of the test's
// own, which the test may take away, with its standard error kept.
class OwnDesktopShow {
 public:
  OwnDesktopShow(const std::string& argument, const std::string& options, const OwnDesktopStart& start = {});
  OwnDesktopShow(const OwnDesktopShow&) = delete;
  OwnDesktopShow& operator=(const OwnDesktopShow&) = delete;

  // Waits until the middle of the screen is red.
  [[nodiscard]] bool playsRed();
  [[nodiscard]] std::optional<bool> sinkMuted() const { return SinkMuted(pulse_.server()); }
  [[nodiscard]] std::string standardError() const { return ReadFile(home_.file("stderr")); }
  [[nodiscard]] std::string soundServer() const { return pulse_.server(); }
  OwnXvfb& x() { return x_; }
  ChildProcess& process() { return *process_; }

 private:
  TempDir home_;
  OwnXvfb x_;
  OwnPulse pulse_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace quorrel::test
