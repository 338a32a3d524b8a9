#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "linux/media/media_backend.h"
#include "media/midi_timing.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;
struct _fluid_audio_driver_t;

namespace quorrel::linux_desktop {

// A MIDI file played by FluidSynth with a General MIDI soundfont into the
// sound server. FluidSynth runs the file on its audio thread; every method
// here runs on the user-interface thread and only reads the player's state
// or starts and stops it.
class FluidSynthDevice final : public MediaDevice {
 public:
  // Where Debian's soundfont packages put their General MIDI fonts.
  static constexpr const char* kSoundfontFolder = "/usr/share/sounds/sf2";

  // Loads `path` (already checked to be a local regular file) with the
  // first soundfont found in `soundfontFolder`; null and a code on failure.
  // A silent device plays at no volume.
  [[nodiscard]] static std::unique_ptr<MediaDevice> Open(const std::string& path, const std::string& soundfontFolder,
                                                         MediaAudio audio, std::uint32_t& errorCode);
  ~FluidSynthDevice() override;

  bool hasVideo() const override { return false; }
  Rect sourceRect() const override { return {}; }
  std::uint32_t close() override;
  std::uint32_t play() override;
  std::uint32_t stop() override;
  std::uint32_t pause() override;
  std::uint32_t resume() override;
  std::uint32_t seekToStart() override;
  std::uint32_t position(std::int64_t& milliseconds) override;
  std::uint32_t length(std::int64_t& milliseconds) override;
  std::uint32_t mode(PlayerMode& mode) override;
  std::uint32_t setDisplayWindow(NativeWindow window) override;
  std::uint32_t setDestination(const Rect& rect) override;
  std::uint32_t destination(Rect& rect) override;

 private:
  FluidSynthDevice() = default;
  [[nodiscard]] std::uint32_t newPlayer();
  [[nodiscard]] std::uint32_t openSoundOutput();
  // Played to its end, as opposed to halted by stop or pause.
  [[nodiscard]] bool finished() const;
  void halt();
  void release();

  // The MIDI file's contents.
  std::string bytes_;
  MidiTiming timing_;
  _fluid_hashtable_t* settings_ = nullptr;
  _fluid_synth_t* synth_ = nullptr;
  _fluid_player_t* player_ = nullptr;
  _fluid_audio_driver_t* driver_ = nullptr;
  bool started_ = false;
  bool stopped_ = false;
  bool paused_ = false;
};

}  // namespace quorrel::linux_desktop
