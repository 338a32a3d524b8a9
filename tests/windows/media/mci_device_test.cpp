#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>
// After mmsystem.h, which it needs.
#include <digitalv.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "media/media_player.h"
#include "tests/support/process.h"
#include "windows/media/mci_device.h"

namespace quorrel::windows_desktop {
namespace {

struct Sent {
  std::uint32_t device;
  std::uint32_t message;
  std::uintptr_t flags;
  DWORD_PTR callback;
};

// Answers MCI commands as a device of the given kind would and records
// them.
struct FakeMci {
  bool video = false;
  DWORD mode = MCI_MODE_STOP;
  RECT source{0, 0, 320, 240};  // left, top, width, height
  std::vector<Sent> sent;
  std::wstring element;
  std::vector<std::wstring> aliases;
  HWND window = nullptr;
  RECT destination{};

  MciApi api() {
    MciApi api;
    api.sendCommand = [this](std::uint32_t device, std::uint32_t message, std::uintptr_t flags, void* parameters) {
      sent.push_back({device, message, flags, *static_cast<DWORD_PTR*>(parameters)});
      switch (message) {
        case MCI_OPEN: {
          auto* open = static_cast<MCI_OPEN_PARMSW*>(parameters);
          element = open->lpstrElementName;
          if (flags & MCI_OPEN_ALIAS) aliases.emplace_back(open->lpstrAlias);
          if (element.find(L"missing") != std::wstring::npos) return std::uint32_t{MCIERR_FILE_NOT_FOUND};
          open->wDeviceID = 7;
          return std::uint32_t{0};
        }
        case MCI_GETDEVCAPS: {
          auto* caps = static_cast<MCI_GETDEVCAPS_PARMS*>(parameters);
          caps->dwReturn = caps->dwItem == MCI_GETDEVCAPS_HAS_VIDEO && video ? TRUE : FALSE;
          return std::uint32_t{0};
        }
        case MCI_STATUS: static_cast<MCI_STATUS_PARMS*>(parameters)->dwReturn = mode; return std::uint32_t{0};
        case MCI_WINDOW: window = static_cast<MCI_ANIM_WINDOW_PARMSW*>(parameters)->hWnd; return std::uint32_t{0};
        case MCI_WHERE: {
          auto* where = static_cast<MCI_ANIM_RECT_PARMS*>(parameters);
          where->rc = (flags & MCI_ANIM_WHERE_SOURCE) ? source : destination;
          return std::uint32_t{0};
        }
        case MCI_PUT: destination = static_cast<MCI_ANIM_RECT_PARMS*>(parameters)->rc; return std::uint32_t{0};
        default: return std::uint32_t{0};
      }
    };
    api.errorText = [](std::uint32_t code) {
      return code == MCIERR_FILE_NOT_FOUND ? std::string("The specified file cannot be found.") : std::string();
    };
    return api;
  }

  [[nodiscard]] const Sent* find(std::uint32_t message) const {
    for (const Sent& s : sent) {
      if (s.message == message) return &s;
    }
    return nullptr;
  }
};

TEST(MciDevice, soundFileOpensByExtensionPlaysWithNotifyAndReportsItsModes) {
  FakeMci mci;
  const auto backend = CreateMciBackend(mci.api());
  MediaPlayer player(*backend, 1234, false);
  player.setFileName("C:\\Music\\b\xC3\xA4r.mid");
  player.open();
  EXPECT_EQ(mci.element, L"C:\\Music\\b\u00e4r.mid");
  const Sent* open = mci.find(MCI_OPEN);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->flags, static_cast<std::uintptr_t>(MCI_WAIT | MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS))
      << "automatic selection, under a name of its own";
  EXPECT_EQ(mci.find(MCI_WINDOW), nullptr) << "a sound gets no display window";
  MediaPlayer sameFile(*backend, 1234, false);
  sameFile.setFileName("C:\\Music\\b\xC3\xA4r.mid");
  sameFile.open();
  ASSERT_EQ(mci.aliases.size(), 2u);
  EXPECT_NE(mci.aliases[0], mci.aliases[1]) << "each device of one file has a name of its own";
  player.play();
  const Sent* play = mci.find(MCI_PLAY);
  ASSERT_NE(play, nullptr);
  EXPECT_EQ(play->device, 7u);
  EXPECT_EQ(play->flags, static_cast<std::uintptr_t>(MCI_NOTIFY));
  EXPECT_NE(play->callback, 0u) << "the notices go to the hidden window";
  mci.mode = MCI_MODE_PLAY;
  EXPECT_EQ(player.mode(), PlayerMode::Playing);
  mci.mode = MCI_MODE_PAUSE;
  EXPECT_EQ(player.mode(), PlayerMode::Paused);
  mci.mode = MCI_MODE_STOP;
  EXPECT_EQ(player.mode(), PlayerMode::Stopped);
  player.close();
  EXPECT_FALSE(player.isOpen());
  EXPECT_EQ(player.mode(), PlayerMode::NotReady);
  EXPECT_EQ(player.error(), static_cast<std::uint32_t>(MCIERR_INVALID_DEVICE_ID));
}

TEST(MciDevice, videoIsDrawnIntoTheDisplayWindowAtTheRectangleAsked) {
  FakeMci mci;
  mci.video = true;
  const auto backend = CreateMciBackend(mci.api());
  MediaPlayer player(*backend, 0x4321, true);
  player.setFileName("C:\\Videos\\clip.avi");
  player.open();
  EXPECT_EQ(mci.window, reinterpret_cast<HWND>(0x4321));
  EXPECT_EQ(mci.find(MCI_WINDOW)->flags, static_cast<std::uintptr_t>(MCI_WAIT | MCI_ANIM_WINDOW_HWND));
  // MCI rectangles hold width and height in place of right and bottom.
  mci.destination = RECT{0, 0, 320, 240};
  EXPECT_EQ(player.displayRect(Rect{}), (Rect{0, 0, 320, 240}));
  player.setDisplayRect(Rect{0, 0, 512, 384});
  EXPECT_EQ(mci.destination.right, 512);
  EXPECT_EQ(mci.destination.bottom, 384);
  EXPECT_EQ(mci.sent.back().flags, static_cast<std::uintptr_t>(MCI_ANIM_RECT | MCI_ANIM_PUT_DESTINATION));
}

TEST(MciDevice, aSilentBackEndSwitchesEachFilesSoundOffAsItOpens) {
  FakeMci mci;
  mci.video = true;
  const auto silent = CreateMciBackend(mci.api(), MediaAudio::Off);
  MediaPlayer player(*silent, 0x4321, true);
  player.setFileName("C:\\Videos\\clip.avi");
  player.open();
  ASSERT_GE(mci.sent.size(), 3u);
  EXPECT_EQ(mci.sent[0].message, static_cast<std::uint32_t>(MCI_OPEN));
  // Both ways devices know, each to the device just opened, before anything
  // plays.
  EXPECT_EQ(mci.sent[1].message, static_cast<std::uint32_t>(MCI_SET));
  EXPECT_EQ(mci.sent[1].device, 7u);
  EXPECT_EQ(mci.sent[1].flags, static_cast<std::uintptr_t>(MCI_WAIT | MCI_SET_AUDIO | MCI_SET_OFF));
  EXPECT_EQ(mci.sent[2].message, static_cast<std::uint32_t>(MCI_SETAUDIO));
  EXPECT_EQ(mci.sent[2].flags,
            static_cast<std::uintptr_t>(MCI_WAIT | MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE));
  EXPECT_EQ(mci.find(MCI_PLAY), nullptr);

  FakeMci heard;
  const auto audible = CreateMciBackend(heard.api());
  MediaPlayer other(*audible, 0, false);
  other.setFileName("C:\\Music\\a.wav");
  other.open();
  EXPECT_EQ(heard.find(MCI_SET), nullptr);
  EXPECT_EQ(heard.find(MCI_SETAUDIO), nullptr);
}

TEST(MciDevice, aFileThatCannotBeOpenedRaisesMcisTextAndCode) {
  FakeMci mci;
  const auto backend = CreateMciBackend(mci.api());
  MediaPlayer player(*backend, 0, true);
  player.setFileName("C:\\missing.avi");
  try {
    player.open();
    ADD_FAILURE() << "opened";
  } catch (const MediaDeviceError& error) {
    EXPECT_EQ(std::string(error.what()), "The specified file cannot be found.");
  }
  EXPECT_EQ(player.error(), static_cast<std::uint32_t>(MCIERR_FILE_NOT_FOUND));
  EXPECT_FALSE(player.isOpen());
}

// A second of silence as a PCM WAV file, and a MIDI file of one note.
void writeSoundFiles(const std::string& wav, const std::string& midi) {
  std::ofstream w(wav, std::ios::binary);
  const std::uint32_t rate = 8000;
  const std::uint32_t bytes = rate;
  auto u32 = [&w](std::uint32_t v) { w.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&w](std::uint16_t v) { w.write(reinterpret_cast<const char*>(&v), 2); };
  w.write("RIFF", 4);
  u32(36 + bytes);
  w.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate);
  u16(1);
  u16(8);
  w.write("data", 4);
  u32(bytes);
  w << std::string(bytes, '\x80');
  std::ofstream m(midi, std::ios::binary);
  const unsigned char file[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 12,
                                0, 0x90, 60, 100, 96, 0x80, 60, 0, 0, 0xFF, 0x2F, 0};
  m.write(reinterpret_cast<const char*>(file), sizeof file);
}

// The real MCI of the system: Wine's waveaudio and sequencer devices open
// and play these (the sequencer silently, as Wine has no synthesizer).
TEST(MciDeviceOnThisSystem, wavAndMidiOpenAndPlayThroughAutomaticSelection) {
  test::TempDir dir;
  const std::string wav = dir.path() + "\\silence.wav";
  const std::string midi = dir.path() + "\\note.mid";
  writeSoundFiles(wav, midi);
  const auto backend = CreateMciBackend();
  for (const std::string& file : {wav, midi}) {
    MediaPlayer player(*backend, 0, false);
    player.setFileName(file);
    ASSERT_NO_THROW(player.open()) << file << ": " << player.errorMessage();
    player.play();
    EXPECT_EQ(player.error(), 0u) << file << ": " << player.errorMessage();
    const PlayerMode mode = player.mode();
    EXPECT_TRUE(mode == PlayerMode::Playing || mode == PlayerMode::Stopped) << file;
  }
  // The same file twice at once, as two monitors reaching the same video
  // have it: MCI names a device by its file unless given a name of its own.
  MediaPlayer first(*backend, 0, false);
  MediaPlayer second(*backend, 0, false);
  first.setFileName(wav);
  second.setFileName(wav);
  ASSERT_NO_THROW(first.open()) << first.errorMessage();
  ASSERT_NO_THROW(second.open()) << second.errorMessage();
  EXPECT_TRUE(first.isOpen() && second.isOpen());
  second.close();
  first.close();
  // A closed device lets go of its file: it opens again.
  MediaPlayer again(*backend, 0, false);
  again.setFileName(wav);
  EXPECT_NO_THROW(again.open()) << again.errorMessage();
  MediaPlayer player(*backend, 0, false);
  player.setFileName(dir.path() + "\\missing.wav");
  EXPECT_THROW(player.open(), MediaDeviceError);
  EXPECT_NE(player.error(), 0u);
  EXPECT_NE(player.errorMessage(), "Unknown error code");
}

}  // namespace
}  // namespace quorrel::windows_desktop
