#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/log.h"
#include "base/messages.h"
#include "entry/host_window.h"
#include "entry/mode_dispatch.h"
#include "linux/base/application.h"
#include "linux/base/ui_poster.h"
#include "linux/entry/show_claim.h"
#include "linux/entry/standard_streams.h"
#include "linux/entry/x11_display.h"
#include "linux/media/decoder_probe_noise.h"
#include "linux/media/media_backend.h"
#include "linux/options/options_mode.h"
#include "linux/show/show_mode.h"

namespace {

std::string NoDisplayText(const char* display) {
  if (display == nullptr || *display == '\0') return "no X display to show on: DISPLAY is not set";
  return std::string("the X display \"") + display + "\" cannot be reached";
}

// Without a session bus named in the environment, libdbus (which Qt's
// desktop integration uses) falls back to starting one with dbus-launch: a
// dbus-launch and a dbus-daemon that outlive Quorrel, and a ~/.dbus folder.
// Quorrel needs no bus, so it never starts one. The bus of a session under
// systemd, at $XDG_RUNTIME_DIR/bus, is still found where libdbus looks
// for it; with neither, the address names no transport, and every
// connection fails at once.
void NeverStartASessionBus() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != '\0') return;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
    struct stat bus {};
    if (::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 && S_ISSOCK(bus.st_mode)) return;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

// The show is laid out in the screen's own pixels: the panel sizes, and one
// video pixel to one screen pixel at the natural size, also for the video's
// native window, which Qt does not scale. A desktop's scale (Xft.dpi 192 on
// a 2x screen, or QT_SCALE_FACTOR) would make Qt's pixels larger than the
// screen's, and the video would fill only part of the panel, so the show
// turns Qt's scaling off for itself. Message boxes still take their fonts'
// size from the desktop's DPI. The options dialog scales as Qt does.
void ShowInScreenPixels() {
  setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
  for (const char* scale :
       {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_DEVICE_PIXEL_RATIO"}) {
    unsetenv(scale);
  }
}

// libmpv reads and writes numbers (its options, the shader programs it
// writes for the graphics card) with the C library's functions, which
// follow the numeric locale, and it refuses to start unless that is "C".
// The show's video output starts on mpv's threads before Qt's application
// object exists, and Qt sets the whole locale from the environment while
// it starts, in the middle of mpv's work; so the environment itself says
// "C" for numbers, and everything else of the user's locale stays as it
// is. Only the show does this, before any thread starts: the options
// dialog starts mpv after Qt, and opens files with other programs, which
// keep the user's environment.
void KeepNumbersInTheCLocale() {
  if (const char* all = std::getenv("LC_ALL"); all != nullptr && *all != '\0') {
    const std::string userLocale = all;
    for (const char* category : {"LC_CTYPE", "LC_COLLATE", "LC_MONETARY", "LC_TIME", "LC_MESSAGES", "LC_PAPER",
                                 "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"}) {
      setenv(category, userLocale.c_str(), 1);
    }
    unsetenv("LC_ALL");
  }
  setenv("LC_NUMERIC", "C", 1);
  // Qt's X11 platform takes this variable out of the environment while it
  // starts, which must not happen while mpv's threads read the
  // environment. A screen saver announces no start-up to a launcher.
  unsetenv("DESKTOP_STARTUP_ID");
}

// The show takes no typed text: a key only ends it, and mpv is given no
// keys at all. Yet mpv's video output opens Xlib's input method as it
// starts, and in a UTF-8 locale that reads the locale's compose table,
// some 5,000 lines that turn dead keys into characters: about 10 ms on the
// way to the first frame, which the mpv command, running in the C locale,
// does not spend. An empty table leaves keys as they are.
void TypeNoComposedCharacters() { setenv("XCOMPOSEFILE", "/dev/null", 1); }

// mpv decodes on many threads, and the C library gives each thread that
// allocates while another holds the lock an arena of its own, up to eight
// per processor. Each arena keeps pages that are only partly in use, and
// a show that opens a new player for each monitor plugged in spread its
// memory over ever more of them: about 0.7 MB more resident memory per
// hot-plug, against under 0.1 MB with two arenas (bench/linux/soak).
// Set before any thread starts.
void KeepFewMemoryArenas() { ::mallopt(M_ARENA_MAX, 2); }

// The Linux desktop's part in the start: an X display reached through
// Qt's xcb platform, the X selection as the show's claim, and the Qt
// application object that every mode runs in.
class LinuxEntry : public quorrel::EntryPlatform {
 public:
  LinuxEntry(int& argc, char** argv, std::vector<std::string> arguments)
      : argc_(argc), argv_(argv), arguments_(std::move(arguments)) {}

  bool showWindowOnScreen() override { return display().showWindowOnScreen; }

  quorrel::PasswordChangeService* passwordChangeService() override { return nullptr; }

  bool canRun(quorrel::Mode mode) override {
    // The preview in Windows' screen saver settings: Linux has no such
    // settings, and "/P" does nothing, without even a look at the display.
    if (mode == quorrel::Mode::Preview) return false;
    // mpv's window embedding and the show-window lookup speak X11, so Qt
    // runs on xcb (XWayland under Wayland) unless the user chose otherwise.
    setenv("QT_QPA_PLATFORM", "xcb", 0);
    NeverStartASessionBus();
    if (!display().reachable) {
      // Nothing can be shown, so the reason goes where idle tools, hosts
      // and the journal keep it.
      quorrel::LogError(NoDisplayText(std::getenv("DISPLAY")));
      return false;
    }
    if (mode == quorrel::Mode::Hosted) {
      host_ = quorrel::ChooseHostWindow(arguments_, std::getenv("XSCREENSAVER_WINDOW"));
      if (!host_.error.empty()) {
        quorrel::LogError(host_.error);
        return false;
      }
    }
    return true;
  }

  std::unique_ptr<quorrel::ShowClaim> claimShow() override {
    return quorrel::linux_desktop::SelectionShowClaim::Take();
  }

  void run(quorrel::Mode mode) override {
    using namespace quorrel::linux_desktop;
    std::unique_ptr<PlatformMediaBackend> showMedia;
    if (mode == quorrel::Mode::Show || mode == quorrel::Mode::Hosted) {
      ShowInScreenPixels();
      KeepNumbersInTheCLocale();
      TypeNoComposedCharacters();
      // The locale comes from the environment now, before any thread
      // starts, as Qt would set it while mpv's threads already use it: a
      // locale changed under a thread that reads it is not safe, and Qt's
      // own call then changes nothing.
      std::setlocale(LC_ALL, "");
      // The video output takes longer to start than anything else before
      // the first frame, Qt's own start included, so it starts first, on
      // threads of its own, and Qt starts meanwhile.
      showMedia = CreatePlatformMediaBackend(QtUiPoster());
      showMedia->prepareVideo();
    }
    quorrel::SetApplicationTitle(quorrel::TitleFromExecutable(argc_ > 0 ? argv_[0] : "quorrel"));
    Application app(argc_, argv_);
    // Qt's connection holds the display now (and the claim's, for a show).
    if (display_) display_->connection.reset();
    // Qt takes the whole locale from the environment; libmpv refuses to
    // start unless numbers are read and written the C way, so that part
    // alone goes back. Everything else of the user's locale stays. The
    // show's environment says "C" for numbers already, and its mpv threads
    // run by now, so its locale is left as it is.
    if (!showMedia) std::setlocale(LC_NUMERIC, "C");
    if (mode == quorrel::Mode::Show) {
      RunShowMode(app, std::move(showMedia));
    } else if (mode == quorrel::Mode::Hosted) {
      RunHostedShowMode(app, host_.window, std::move(showMedia));
    } else {
      RunConfigMode(app);
    }
  }

 private:
  // Both questions of the probe are asked over one connection, once.
  const quorrel::linux_desktop::DisplayProbe& display() {
    if (!display_) display_ = quorrel::linux_desktop::ProbeDisplay();
    return *display_;
  }

  int& argc_;
  char** argv_;
  std::vector<std::string> arguments_;
  std::optional<quorrel::linux_desktop::DisplayProbe> display_;
  quorrel::HostWindowChoice host_;
};

// "--idle [SECONDS]": the idle watcher, a small program of its own beside
// this one (or in the library folder of an installed Quorrel), so that a
// process that waits all day holds neither Qt nor the media libraries. It
// is told which program to start the show with: this one.
[[noreturn]] void RunIdleWatcher(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  std::vector<std::string> arguments{"quorrel-idle", error ? std::string(argv[0]) : self.string()};
  for (int i = 2; i < argc; ++i) arguments.emplace_back(argv[i]);
  std::vector<char*> argvOfWatcher;
  for (std::string& argument : arguments) argvOfWatcher.push_back(argument.data());
  argvOfWatcher.push_back(nullptr);
  const std::filesystem::path folder = self.parent_path();
  for (const std::filesystem::path& watcher :
       {folder / "quorrel-idle", folder.parent_path() / "libexec" / "quorrel" / "quorrel-idle"}) {
    ::execv(watcher.c_str(), argvOfWatcher.data());
  }
  quorrel::LogError("the idle watcher quorrel-idle is not installed beside " + self.string());
  std::exit(1);
}

}  // namespace

// The process does one thing, chosen by its first argument, and always ends
// with status 0: a screen-saver host or idle tool has no use for a failure
// code, and the user sees every failure that matters in a message box.
int main(int argc, char** argv) {
  quorrel::linux_desktop::GuardStandardDescriptors();
  if (argc >= 2 && std::string_view(argv[1]) == "--idle") RunIdleWatcher(argc, argv);
  KeepFewMemoryArenas();
  quorrel::linux_desktop::FilterDecoderProbeNoise();
  try {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    LinuxEntry platform(argc, argv, arguments);
    quorrel::DispatchMode(arguments, platform);
  } catch (const std::exception& error) {
    // Nothing is left to show it in; the mode has already ended.
    quorrel::LogError(error.what());
  }
  return 0;
}
