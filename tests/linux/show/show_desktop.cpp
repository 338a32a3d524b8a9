#include "tests/linux/show/show_desktop.h"

#include <xcb/xcb.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "tests/support/test_media.h"

namespace quorrel::test {

namespace {

struct ConnectionCloser {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

std::vector<std::uint8_t> rootImage(const std::string& display, int x, int y, int& width, int& height) {
  std::unique_ptr<xcb_connection_t, ConnectionCloser> c(xcb_connect(display.c_str(), nullptr));
  if (!c || xcb_connection_has_error(c.get()) != 0) throw std::runtime_error("no X display " + display);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data;
  if (width == 0) {
    width = screen->width_in_pixels;
    height = screen->height_in_pixels;
  }
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
      xcb_get_image_reply(c.get(),
                          xcb_get_image(c.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, static_cast<std::int16_t>(x),
                                        static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                                        static_cast<std::uint16_t>(height), ~0U),
                          nullptr),
      &std::free);
  if (!reply) throw std::runtime_error("cannot read the screen of " + display);
  const std::uint8_t* data = xcb_get_image_data(reply.get());
  return {data, data + xcb_get_image_data_length(reply.get())};
}

void makeOnce(const std::string& path, std::vector<std::string> args) {
  if (std::filesystem::exists(path)) return;
  const std::string temp = path + ".tmp" + std::to_string(::getpid()) + std::filesystem::path(path).extension().string();
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back(temp);
  const ProcessResult r = RunProcess(argv, std::chrono::minutes(2));
  if (r.exitStatus != 0) throw std::runtime_error("ffmpeg failed: " + r.output);
  std::filesystem::rename(temp, path);
}

std::string trim(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

Seen Classify(Rgb p) {
  const auto high = [](std::uint8_t v) { return v > 180; };
  const auto low = [](std::uint8_t v) { return v < 70; };
  if (low(p.red) && low(p.green) && low(p.blue)) return Seen::Black;
  if (high(p.red) && high(p.green) && high(p.blue)) return Seen::White;
  if (high(p.red) && low(p.green) && low(p.blue)) return Seen::Red;
  if (low(p.red) && high(p.green) && low(p.blue)) return Seen::Green;
  if (low(p.red) && low(p.green) && high(p.blue)) return Seen::Blue;
  if (high(p.red) && high(p.green) && low(p.blue)) return Seen::Yellow;
  return Seen::Other;
}

const char* Name(Seen colour) {
  switch (colour) {
    case Seen::Black: return "black";
    case Seen::White: return "white";
    case Seen::Red: return "red";
    case Seen::Green: return "green";
    case Seen::Blue: return "blue";
    case Seen::Yellow: return "yellow";
    case Seen::Other: break;
  }
  return "other";
}

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << box.width << "x" << box.height << " at (" << box.left << ", " << box.top << ")";
}

Screenshot::Screenshot(const std::string& display) { pixels_ = rootImage(display, 0, 0, width_, height_); }

Screenshot::Screenshot(int width, int height, std::vector<std::uint8_t> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

Rgb Screenshot::at(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
  return {pixels_[i + 2], pixels_[i + 1], pixels_[i]};
}

Box Screenshot::boundsOf(Seen colour) const {
  int left = width_, top = height_, right = -1, bottom = -1;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (Classify(at(x, y)) != colour) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

int Screenshot::count(Seen colour, const Box& area) const {
  int n = 0;
  for (int y = area.top; y < area.top + area.height; ++y) {
    for (int x = area.left; x < area.left + area.width; ++x) n += Classify(at(x, y)) == colour ? 1 : 0;
  }
  return n;
}

Rgb PixelAt(const std::string& display, int x, int y) {
  int width = 1, height = 1;
  const std::vector<std::uint8_t> pixel = rootImage(display, x, y, width, height);
  return {pixel.at(2), pixel.at(1), pixel.at(0)};
}

std::string SolidClip(const std::string& colour, int width, int height, double seconds) {
  ClipOptions clip;
  clip.pattern = colour;
  clip.width = width;
  clip.height = height;
  clip.seconds = seconds;
  return MakeClip(clip);
}

std::string FlashClip(const std::string& colour, double seconds) {
  std::ostringstream name;
  name << TestMediaDir() << "/flash_" << colour << "_" << static_cast<int>(seconds * 1000) << "ms.avi";
  std::ostringstream half;
  half << seconds / 2;
  makeOnce(name.str(), {"-f", "lavfi", "-i", "color=c=" + colour + ":s=320x240:r=25:d=" + half.str(), "-f", "lavfi",
                        "-i", "color=c=black:s=320x240:r=25:d=" + half.str(), "-filter_complex",
                        "[0][1]concat=n=2:v=1:a=0", "-c:v", "mpeg4", "-q:v", "5"});
  return name.str();
}

std::string ColourSequenceClip(const std::vector<std::pair<std::string, double>>& parts) {
  std::ostringstream name;
  name << TestMediaDir() << "/sequence";
  std::vector<std::string> args;
  std::string inputs;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    name << "_" << parts[i].first << "_" << static_cast<int>(parts[i].second * 1000);
    std::ostringstream seconds;
    seconds << parts[i].second;
    args.insert(args.end(), {"-f", "lavfi", "-i", "color=c=" + parts[i].first + ":s=320x240:r=25:d=" + seconds.str()});
    inputs += "[" + std::to_string(i) + "]";
  }
  name << ".avi";
  args.insert(args.end(), {"-filter_complex", inputs + "concat=n=" + std::to_string(parts.size()) + ":v=1:a=0",
                           "-c:v", "mpeg4", "-q:v", "5"});
  makeOnce(name.str(), args);
  return name.str();
}

std::string ShowRun::DefaultDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr ? display : ":0";
}

ShowRun::ShowRun(std::string display) : display_(std::move(display)) {
  xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
  keepAlive_ = std::shared_ptr<void>(c, [](void* p) { xcb_disconnect(static_cast<xcb_connection_t*>(p)); });
}

ShowRun::~ShowRun() {
  // A show that a failed test left behind must not cover the next test.
  if (process_ && process_->running()) {
    process_->signal(SIGKILL);
    (void)process_->waitFor(std::chrono::seconds(5));
  }
  // Passed on, so that the test's own log still holds it.
  if (const std::string lines = standardError(); !lines.empty()) std::fputs(lines.c_str(), stderr);
}

std::string ShowRun::standardError() const {
  return std::filesystem::exists(home_.file("stderr")) ? ReadFile(home_.file("stderr")) : std::string();
}

void WriteSettings(const std::string& configHome, const std::string& options, const std::vector<std::string>& videos,
                   const std::string& sound) {
  std::string text = "[Options]\n" + options + "\n[vidConfig]\n";
  for (std::size_t n = 1; n <= 1000; ++n) {
    text += "Name" + std::to_string(n) + "=" + (n <= videos.size() ? videos[n - 1] : "Null") + "\n";
  }
  text += "[WavConfig]\nName1=" + sound + "\n";
  std::filesystem::create_directories(configHome + "/Quorrel");
  WriteFile(configHome + "/Quorrel/quorrel4.ini", text);
}

void ShowRun::settings(const std::string& options, const std::vector<std::string>& videos, const std::string& sound) {
  WriteSettings(home_.path(), options, videos, sound);
}

void ShowRun::start(const std::map<std::string, std::string>& extraEnvironment) {
  std::map<std::string, std::string> environment = {
      {"HOME", home_.path()}, {"XDG_CONFIG_HOME", home_.path()}, {"DISPLAY", display_}};
  // A desktop's locale, with a decimal comma, rather than the C locale of
  // a test run (tools/setup generates it).
  environment.insert(kDesktopLocale.begin(), kDesktopLocale.end());
  for (const auto& [key, value] : extraEnvironment) environment[key] = value;
  // The shell gives its process to the program, which keeps the pid.
  process_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"sh", "-c", "exec \"$0\" /S 2>\"$1\"", QUORREL_EXECUTABLE, home_.file("stderr")},
      environment);
  if (!WaitUntil([this] { return windowVisible() || !process_->running(); }, std::chrono::seconds(20))) {
    throw std::runtime_error("the show window did not appear");
  }
  // Qt maps the window before it has drawn into it.
  SleepFor(std::chrono::milliseconds(300));
}

bool ShowRun::windowVisible() const {
  const ProcessResult r = RunProcess(
      {"env", "DISPLAY=" + display_, "xdotool", "search", "--onlyvisible", "--class", "^TForm1$"},
      std::chrono::seconds(10));
  return r.exitStatus == 0 && !trim(r.output).empty();
}

std::optional<int> ShowRun::waitForExit(std::chrono::milliseconds timeout) { return process_->waitFor(timeout); }

bool ShowRun::running() { return process_ && process_->running(); }

void ShowRun::signal(int number) { process_->signal(number); }

pid_t ShowRun::pid() const { return process_ ? process_->pid() : -1; }

OwnXvfb::OwnXvfb(int width, int height, bool resets) {
  // Xvfb picks a free display number itself and writes it out, so that
  // servers started at the same moment never collide.
  const std::string numberFile = dir_.file("display");
  server_ = std::make_unique<ChildProcess>(std::vector<std::string>{
      "sh", "-c",
      "exec Xvfb -displayfd 3 -screen 0 " + std::to_string(width) + "x" + std::to_string(height) +
          "x24 -nolisten tcp" + (resets ? "" : " -noreset") + " 3>" + numberFile});
  const bool started = WaitUntil(
      [&] {
        const std::string number = ReadFile(numberFile);
        if (number.empty() || number.back() != '\n') return false;
        display_ = ":" + number.substr(0, number.size() - 1);
        return RunProcess({"xdpyinfo", "-display", display_}).exitStatus == 0;
      },
      std::chrono::seconds(10));
  if (!started) throw std::runtime_error("no Xvfb could be started");
}

OwnXvfb::~OwnXvfb() { stop(); }

void OwnXvfb::stop() {
  if (server_ && server_->running()) {
    server_->signal(SIGTERM);
    (void)server_->waitFor(std::chrono::seconds(5));
  }
}

OwnPulse::OwnPulse() {
  daemon_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                               "--load=module-null-sink sink_name=own_null",
                               "--load=module-native-protocol-unix auth-anonymous=1 socket=" + dir_.file("native"),
                               "--log-target=file:" + dir_.file("log")},
      std::map<std::string, std::string>{{"HOME", dir_.path()}, {"PULSE_RUNTIME_PATH", dir_.path()}});
  const bool answers = WaitUntil(
      [&] { return RunProcess({"env", "PULSE_SERVER=" + server(), "pactl", "info"}).exitStatus == 0; },
      std::chrono::seconds(10));
  if (!answers) throw std::runtime_error("no PulseAudio daemon of the test's own: " + ReadFile(dir_.file("log")));
}

OwnPulse::~OwnPulse() {
  daemon_->signal(SIGCONT);
  daemon_->signal(SIGKILL);
  (void)daemon_->waitFor(std::chrono::seconds(5));
}

OwnDesktopShow::OwnDesktopShow(const std::string& argument, const std::string& options, const OwnDesktopStart& start)
    : x_(640, 480, start.serverResets) {
  const std::vector<std::string> videos =
      start.videos.empty() ? std::vector<std::string>{SolidClip("red", 320, 240, 30.0)} : start.videos;
  WriteSettings(home_.path(), options, videos, MakeWav(30.0));
  process_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"bash", "-c", "exec \"$0\" \"$1\" " + start.redirections, QUORREL_EXECUTABLE,
                               argument, home_.file("stderr")},
      std::map<std::string, std::string>{
          {"HOME", home_.path()},
          {"XDG_CONFIG_HOME", home_.path()},
          {"DISPLAY", x_.display()},
          {"PULSE_SERVER", start.soundServer.empty() ? pulse_.server() : start.soundServer}});
}

bool OwnDesktopShow::playsRed() {
  return WaitUntil([&] { return Classify(PixelAt(x_.display(), 320, 240)) == Seen::Red; }, std::chrono::seconds(20));
}

void Xrandr(const std::string& display, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"xrandr", "--display", display};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  (void)RunProcess(argv, std::chrono::seconds(10));
}

void Xdotool(const std::string& display, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {"env", "DISPLAY=" + display, "xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const ProcessResult r = RunProcess(argv, std::chrono::seconds(10));
  if (r.exitStatus != 0) throw std::runtime_error("xdotool failed: " + r.output);
}

bool WindowNamed(const std::string& display, const std::string& title) {
  const ProcessResult r = RunProcess(
      {"env", "DISPLAY=" + display, "xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"},
      std::chrono::seconds(10));
  return r.exitStatus == 0 && !trim(r.output).empty();
}

bool FocusedWindowNamed(const std::string& display, const std::string& title) {
  const ProcessResult r = RunProcess({"env", "DISPLAY=" + display, "xdotool", "getwindowfocus", "getwindowname"},
                                     std::chrono::seconds(10));
  return r.exitStatus == 0 && trim(r.output) == title;
}

double CpuSeconds(pid_t pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const auto nameEnd = stat.rfind(')');
  if (nameEnd == std::string::npos) throw std::runtime_error("no process " + std::to_string(pid));
  // The fields after the command name, which may itself hold blanks;
  // utime and stime are the 14th and 15th.
  std::istringstream fields(stat.substr(nameEnd + 2));
  std::string field;
  double ticks = 0;
  for (int n = 3; n <= 15 && fields >> field; ++n) {
    if (n >= 14) ticks += std::stod(field);
  }
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

namespace {

std::vector<std::string> pactl(const std::string& server, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv;
  if (!server.empty()) argv = {"env", "PULSE_SERVER=" + server};
  argv.push_back("pactl");
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

}  // namespace

void SetSinkMute(bool mute, const std::string& server) {
  const ProcessResult r = RunProcess(pactl(server, {"set-sink-mute", "@DEFAULT_SINK@", mute ? "1" : "0"}));
  if (r.exitStatus != 0) throw std::runtime_error("pactl failed: " + r.output);
}

std::optional<bool> SinkMuted(const std::string& server) {
  const ProcessResult r = RunProcess(pactl(server, {"get-sink-mute", "@DEFAULT_SINK@"}));
  if (r.exitStatus != 0) return std::nullopt;
  if (r.output.find("yes") != std::string::npos) return true;
  if (r.output.find("no") != std::string::npos) return false;
  return std::nullopt;
}

std::map<int, bool> SoundStreamsOf(pid_t pid, const std::string& server) {
  const ProcessResult r = RunProcess(pactl(server, {"list", "sink-inputs"}));
  std::map<int, bool> streams;
  std::istringstream lines(r.output);
  std::string line;
  int index = -1;
  bool playing = false;
  const std::string ownPid = "application.process.id = \"" + std::to_string(pid) + "\"";
  while (std::getline(lines, line)) {
    if (const auto at = line.find("Sink Input #"); at != std::string::npos) {
      index = std::atoi(line.c_str() + at + 12);
      playing = false;
    } else if (line.find("Corked: no") != std::string::npos) {
      playing = true;
    } else if (line.find(ownPid) != std::string::npos && index >= 0) {
      streams[index] = playing;
    }
  }
  return streams;
}

std::set<int> WatchSoundStreams(pid_t pid, std::chrono::milliseconds duration, std::size_t enough) {
  std::set<int> seen;
  const auto deadline = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < deadline && seen.size() < enough) {
    for (const auto& [index, playing] : SoundStreamsOf(pid)) seen.insert(index);
    SleepFor(std::chrono::milliseconds(100));
  }
  return seen;
}

std::vector<Seen> WatchColours(const std::string& display, int x, int y, std::chrono::milliseconds timeout,
                               const std::function<bool(const std::vector<Seen>&)>& done) {
  std::vector<Seen> seen;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    const Seen now = Classify(PixelAt(display, x, y));
    if (seen.empty() || seen.back() != now) {
      seen.push_back(now);
      if (done(seen)) break;
    }
    SleepFor(std::chrono::milliseconds(40));
  }
  return seen;
}

}  // namespace quorrel::test
