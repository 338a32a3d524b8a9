#include "linux/media/fluidsynth_device.h"

#include <fluidsynth.h>
#include <sys/stat.h>

#include <fstream>

#include "linux/media/media_errors.h"

namespace quorrel::linux_desktop {

namespace {

// Debian's General MIDI fonts, best first: the system's chosen default
// (a link the soundfont packages maintain), the large Fluid font, the small
// TiMidity font.
const char* const kSoundfonts[] = {"default-GM.sf2", "FluidR3_GM.sf2", "TimGM6mb.sf2"};

// The PulseAudio protocol first, as for every other sound of the program.
const char* const kAudioDrivers[] = {"pulseaudio", "pipewire", "alsa"};

// MIDI files are small; anything larger than this is not one worth reading.
constexpr std::streamsize kMaxMidiFileSize = 16 * 1024 * 1024;

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A huge file misnamed .mid is refused by its size, without being read.
bool readSmallFile(const std::string& path, std::string& bytes) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || info.st_size > kMaxMidiFileSize) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  // One byte more than its size, in case the file grew meanwhile.
  bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.bad()) return false;
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return static_cast<std::streamsize>(bytes.size()) <= kMaxMidiFileSize;
}

}  // namespace

std::unique_ptr<MediaDevice> FluidSynthDevice::Open(const std::string& path, const std::string& soundfontFolder,
                                                    MediaAudio audio, std::uint32_t& errorCode) {
  using namespace media_errors;
  // FluidSynth announces its choices on standard output; failures reach
  // the caller as codes instead.
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  std::unique_ptr<FluidSynthDevice> device(new FluidSynthDevice());
  // The file is read once: its timing comes from these bytes, and every
  // player (a rewound file gets a fresh one) plays these same bytes.
  if (!readSmallFile(path, device->bytes_) || !device->timing_.parse(device->bytes_)) {
    errorCode = kMidiUnreadable;
    return nullptr;
  }

  std::string soundfont;
  for (const char* name : kSoundfonts) {
    const std::string candidate = soundfontFolder + "/" + name;
    if (isRegularFile(candidate)) {
      soundfont = candidate;
      break;
    }
  }
  if (soundfont.empty()) {
    errorCode = kNoSoundfont;
    return nullptr;
  }

  device->settings_ = new_fluid_settings();
  if (device->settings_ == nullptr) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  // Only the samples that the file's instruments use are loaded, which
  // keeps a large soundfont from costing its whole size in memory.
  fluid_settings_setint(device->settings_, "synth.dynamic-sample-loading", 1);
  // The player follows the system clock. Driven by the sound output's
  // sample clock instead, it stands still for a second or two while a
  // PulseAudio stream fills its first buffers, so the file would start late
  // and its end be reported late.
  fluid_settings_setstr(device->settings_, "player.timing-source", "system");
  if (audio == MediaAudio::Off) fluid_settings_setnum(device->settings_, "synth.gain", 0.0);
  device->synth_ = new_fluid_synth(device->settings_);
  if (device->synth_ == nullptr) {
    errorCode = kPlayerStartFailed;
    return nullptr;
  }
  if (fluid_synth_sfload(device->synth_, soundfont.c_str(), 1) == FLUID_FAILED) {
    errorCode = kNoSoundfont;
    return nullptr;
  }
  errorCode = device->newPlayer();
  if (errorCode != kSuccess) return nullptr;

  errorCode = device->openSoundOutput();
  if (errorCode != kSuccess) return nullptr;
  return device;
}

std::uint32_t FluidSynthDevice::openSoundOutput() {
  for (const char* driver : kAudioDrivers) {
    fluid_settings_setstr(settings_, "audio.driver", driver);
    driver_ = new_fluid_audio_driver(settings_, synth_);
    if (driver_ != nullptr) return media_errors::kSuccess;
  }
  return media_errors::kSoundOutputFailed;
}

FluidSynthDevice::~FluidSynthDevice() { release(); }

void FluidSynthDevice::release() {
  // The audio driver goes first: it is the thread that drives the player
  // and the synthesizer.
  if (driver_ != nullptr) delete_fluid_audio_driver(driver_);
  if (player_ != nullptr) {
    fluid_player_stop(player_);
    delete_fluid_player(player_);
  }
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
  driver_ = nullptr;
  player_ = nullptr;
  synth_ = nullptr;
  settings_ = nullptr;
}

std::uint32_t FluidSynthDevice::newPlayer() {
  player_ = new_fluid_player(synth_);
  if (player_ == nullptr) return media_errors::kPlayerStartFailed;
  // The player keeps a copy of the bytes.
  if (fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) == FLUID_FAILED) {
    return media_errors::kMidiUnreadable;
  }
  return media_errors::kSuccess;
}

bool FluidSynthDevice::finished() const {
  if (!started_ || stopped_ || paused_) return false;
  // FluidSynth lets the last notes ring out for a few seconds after the
  // file's end before it reports the player done; the file itself has
  // ended as soon as its last tick has passed.
  return fluid_player_get_status(player_) == FLUID_PLAYER_DONE ||
         fluid_player_get_current_tick(player_) >= timing_.totalTicks();
}

void FluidSynthDevice::halt() {
  fluid_player_stop(player_);
  // Notes that were sounding would otherwise ring on.
  fluid_synth_all_notes_off(synth_, -1);
}

std::uint32_t FluidSynthDevice::close() {
  release();
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::play() {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  // A file that has played out stays at its end until it is rewound.
  if (finished()) return media_errors::kSuccess;
  if (started_ && !stopped_ && !paused_) return media_errors::kSuccess;
  if (driver_ == nullptr) {
    if (const std::uint32_t code = openSoundOutput(); code != media_errors::kSuccess) return code;
  }
  if (fluid_player_play(player_) == FLUID_FAILED) return media_errors::kPlaybackFailed;
  started_ = true;
  stopped_ = false;
  paused_ = false;
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::stop() {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!started_ || finished()) return media_errors::kSuccess;
  halt();
  stopped_ = true;
  paused_ = false;
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::pause() {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!started_ || stopped_ || paused_ || finished()) return media_errors::kSuccess;
  halt();
  // The sound output goes too: it would go on rendering silence on its
  // own thread, at about the cost of playing, for as long as the pause
  // lasts (the show pauses for as long as the display is dark).
  delete_fluid_audio_driver(driver_);
  driver_ = nullptr;
  paused_ = true;
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::resume() {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!paused_) return media_errors::kCannotResume;
  if (driver_ == nullptr) {
    if (const std::uint32_t code = openSoundOutput(); code != media_errors::kSuccess) return code;
  }
  if (fluid_player_play(player_) == FLUID_FAILED) return media_errors::kPlaybackFailed;
  paused_ = false;
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::seekToStart() {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!started_) return media_errors::kSuccess;
  if (finished()) {
    // A played-out file gets a fresh player, standing at its first tick.
    // The player is driven by the audio thread's clock, so that thread is
    // ended before the player goes and started again afterwards.
    delete_fluid_audio_driver(driver_);
    driver_ = nullptr;
    fluid_player_stop(player_);
    delete_fluid_player(player_);
    player_ = nullptr;
    fluid_synth_all_sounds_off(synth_, -1);
    started_ = false;
    if (const std::uint32_t code = newPlayer(); code != media_errors::kSuccess) return code;
    return openSoundOutput();
  }
  return fluid_player_seek(player_, 0) == FLUID_FAILED ? media_errors::kPlaybackFailed : media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::position(std::int64_t& milliseconds) {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!started_) {
    milliseconds = 0;
  } else if (finished()) {
    milliseconds = timing_.lengthMilliseconds();
  } else {
    milliseconds = timing_.toMilliseconds(fluid_player_get_current_tick(player_));
  }
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::length(std::int64_t& milliseconds) {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  milliseconds = timing_.lengthMilliseconds();
  return media_errors::kSuccess;
}

std::uint32_t FluidSynthDevice::mode(PlayerMode& mode) {
  if (player_ == nullptr) return media_errors::kNoDeviceOpen;
  if (!started_ || stopped_ || finished()) {
    mode = PlayerMode::Stopped;
  } else if (paused_) {
    mode = PlayerMode::Paused;
  } else {
    mode = fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING ? PlayerMode::Playing : PlayerMode::Stopped;
  }
  return media_errors::kSuccess;
}

// A sound has no picture: these are never reached through the player,
// which asks for a display only when the device has video.
std::uint32_t FluidSynthDevice::setDisplayWindow(NativeWindow) { return media_errors::kNoDisplay; }
std::uint32_t FluidSynthDevice::setDestination(const Rect&) { return media_errors::kNoDisplay; }
std::uint32_t FluidSynthDevice::destination(Rect&) { return media_errors::kNoDisplay; }

}  // namespace quorrel::linux_desktop
