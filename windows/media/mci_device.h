#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/media_device.h"

namespace quorrel::windows_desktop {

// The two calls of the Windows Media Control Interface (winmm) that
// playback goes through. Tests put a recording fake in their place.
struct MciApi {
  // mciSendCommandW: device identifier, command message, flags and a
  // pointer to the command's parameter record; the MCI result code.
  std::function<std::uint32_t(std::uint32_t device, std::uint32_t message, std::uintptr_t flags, void* parameters)>
      sendCommand;
  // mciGetErrorStringW's text for a code, as UTF-8; empty when it has none.
  std::function<std::string(std::uint32_t code)> errorText;
};

// The real winmm calls.
[[nodiscard]] MciApi SystemMciApi();

// Whether the videos' own sound is heard. Off for the preview in Windows'
// screen saver settings, which plays silently.
enum class MediaAudio { On, Off };

// Plays through MCI: the device chosen by the file name's extension
// (avivideo, mpegvideo, waveaudio, sequencer, as the system's MCI
// extension table says), video drawn into the player's display window.
// Error codes and texts are MCI's own. Every command whose end MCI
// announces is told to announce it to a hidden window of the back end's,
// where nothing waits for it: players learn that a file ended from its
// mode alone.
// With the audio off, every file is opened with its sound switched off and
// its volume at 0, which different devices honour (Wine's DirectShow device
// only the volume).
[[nodiscard]] std::unique_ptr<MediaBackend> CreateMciBackend(MciApi api = SystemMciApi(),
                                                             MediaAudio audio = MediaAudio::On);

}  // namespace quorrel::windows_desktop
