// Pieces of the platform back ends that need neither a display nor a sound
// server: the local-file rule, the MIDI timing and the soundfont lookup.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "linux/media/fluidsynth_device.h"
#include "linux/media/local_file.h"
#include "linux/media/media_errors.h"
#include "media/midi_timing.h"
#include "tests/support/process.h"
#include "tests/support/test_media.h"

namespace quorrel::linux_desktop {
namespace {

namespace errors = media_errors;

// --- Local files only ---------------------------------------------------------

TEST(LocalFileTest, addressesProtocolsAndOptionLikeNamesAreNotLocalFiles) {
  for (const std::string name :
       {"http://example.com/a.avi", "https://x/y.mpg", "av://lavfi:testsrc", "lavfi:testsrc", "memory://abc",
        "file:///etc/passwd", "-help", "--vo=x11", "fd://0", "edl://a.avi"}) {
    std::string path;
    EXPECT_EQ(CheckLocalFile(name, path), errors::kNotLocalFile) << name;
  }
}

TEST(LocalFileTest, onlyExistingRegularFilesPass) {
  test::TempDir dir;
  test::WriteFile(dir.file("clip.avi"), "x");
  std::filesystem::create_directory(dir.file("folder.avi"));
  std::string path;
  EXPECT_EQ(CheckLocalFile(dir.file("clip.avi"), path), errors::kSuccess);
  EXPECT_EQ(path, dir.file("clip.avi"));
  EXPECT_EQ(CheckLocalFile(dir.file("gone.avi"), path), errors::kFileNotFound);
  EXPECT_EQ(CheckLocalFile(dir.file("folder.avi"), path), errors::kNotRegularFile);
  EXPECT_EQ(CheckLocalFile("/dev/null", path), errors::kNotRegularFile);
  EXPECT_EQ(CheckLocalFile("", path), errors::kFileNotFound);
}

TEST(LocalFileTest, relativeNamesBecomeAbsolutePathsThatCannotReadAsProtocols) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.file("memory:"));
  test::WriteFile(dir.file("memory:/clip.avi"), "x");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  std::string path;
  EXPECT_EQ(CheckLocalFile("memory:/clip.avi", path), errors::kNotLocalFile);
  EXPECT_EQ(CheckLocalFile("./memory:/clip.avi", path), errors::kSuccess);
  EXPECT_EQ(path.front(), '/');
  std::filesystem::current_path(previous);
}

TEST(MediaErrorsTest, everyCodeOfOursHasATextAndMpvErrorsAreMappedStably) {
  for (std::uint32_t code = errors::kNotLocalFile; code <= errors::kPlaybackFailed; ++code) {
    EXPECT_FALSE(errors::Text(code).empty()) << code;
  }
  EXPECT_EQ(errors::FromMpvError(-13), 2013u);
  EXPECT_NE(errors::Text(2013).find("loading failed"), std::string::npos) << errors::Text(2013);
  EXPECT_EQ(errors::Text(2999), "");
  EXPECT_EQ(errors::Text(77), "");
}

// --- MIDI timing ----------------------------------------------------------------

TEST(MidiTimingTest, lengthFollowsTheTempo) {
  test::TempDir dir;
  MidiTiming timing;
  ASSERT_TRUE(timing.parse(test::ReadFile(test::WriteMidi(dir.file("four.mid"), 4))));
  // Four quarter notes at 120 beats per minute.
  EXPECT_EQ(timing.totalTicks(), 4 * 480);
  EXPECT_EQ(timing.lengthMilliseconds(), 2000);
  EXPECT_EQ(timing.toMilliseconds(480), 500);
}

TEST(MidiTimingTest, tempoChangesInTheMiddleAreHonoured) {
  // Format 0, 96 ticks per beat: 96 ticks at 120 bpm, then a change to
  // 60 bpm and 96 ticks more (running status for the second note).
  const std::string track =
      std::string("\x00\x90\x3c\x40", 4) + std::string("\x60\x3c\x00", 3) +
      std::string("\x00\xff\x51\x03\x0f\x42\x40", 7) + std::string("\x00\x3e\x40", 3) + std::string("\x60\x3e\x00", 3) +
      std::string("\x00\xff\x2f\x00", 4);
  std::string file = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60", 14) + "MTrk";
  file += std::string{'\0', '\0', '\0', static_cast<char>(track.size())} + track;
  MidiTiming timing;
  ASSERT_TRUE(timing.parse(file));
  EXPECT_EQ(timing.totalTicks(), 192);
  EXPECT_EQ(timing.toMilliseconds(96), 500);
  EXPECT_EQ(timing.lengthMilliseconds(), 1500);
}

TEST(MidiTimingTest, damagedFilesAreRefused) {
  test::TempDir dir;
  const std::string whole = test::ReadFile(test::WriteMidi(dir.file("two.mid"), 2));
  MidiTiming timing;
  EXPECT_FALSE(timing.parse(""));
  EXPECT_FALSE(timing.parse("RIFF....WAVEfmt "));
  EXPECT_FALSE(timing.parse(whole.substr(0, 14)));
  EXPECT_FALSE(timing.parse(whole.substr(0, whole.size() - 5)));
  std::string noTracks = whole;
  noTracks[11] = 0;
  EXPECT_FALSE(timing.parse(noTracks));
  // Every shorter cut either parses or is refused, and never reads past
  // the end (which the sanitizer build would catch).
  for (std::size_t size = 0; size < whole.size(); ++size) (void)timing.parse(whole.substr(0, size));
}

TEST(MidiTimingTest, damagedBytesNeverLeadToAReadOutsideTheFile) {
  test::TempDir dir;
  const std::string whole = test::ReadFile(test::WriteMidi(dir.file("eight.mid"), 8));
  std::mt19937 random(7);
  int parsed = 0;
  for (int i = 0; i < 5000; ++i) {
    std::string bytes = whole;
    const int flips = 1 + i % 6;
    for (int k = 0; k < flips; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    MidiTiming timing;
    if (timing.parse(bytes)) ++parsed;
  }
  // Damage in the note data mostly leaves a readable file; damage in the
  // header or the lengths does not.
  EXPECT_GT(parsed, 0);
  EXPECT_LT(parsed, 5000);
}

// --- Soundfont -----------------------------------------------------------------

TEST(FluidSynthDeviceTest, missingSoundfontIsAFailedOpenWithItsOwnCode) {
  test::TempDir emptyFolder;
  std::uint32_t code = 0;
  auto device = FluidSynthDevice::Open(test::MakeMidi(2), emptyFolder.path(), MediaAudio::On, code);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(code, errors::kNoSoundfont);
  EXPECT_NE(errors::Text(code).find("soundfont"), std::string::npos);
}

}  // namespace
}  // namespace quorrel::linux_desktop
