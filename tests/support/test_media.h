#pragma once

#include <string>
#include <vector>

namespace quorrel::test {

enum class Container { Avi, Mpg, Mov, Wmv, Mp4 };

// A small clip made with the ffmpeg command. `pattern` is an ffmpeg colour
// name or "#RRGGBB" for a solid picture, two of them as "red|blue" for the
// left and the right half, "square:blue:red" for a red square in the middle
// of a blue picture (its side half the picture's shorter side), or "bars"
// for colour bars.
struct ClipOptions {
  std::string pattern = "red";
  int width = 320;
  int height = 240;
  double seconds = 1.0;
  Container container = Container::Avi;
  bool withAudio = false;
  int frameRate = 25;
  // Degrees of display rotation recorded in the stream, as phones record
  // it (mp4 and mov only); the frames themselves stay as they are.
  int rotation = 0;
};

// The clip's full path in the build tree's test-media folder; made once and
// reused by later calls with the same options (also across test processes).
std::string MakeClip(const ClipOptions& clip);

// A mono 16-bit WAV sine tone.
std::string MakeWav(double seconds, int frequency = 440);

// A type-0 Standard MIDI File with `notes` quarter notes at 120 beats per
// minute (half a second each), written by the tests themselves.
std::string WriteMidi(const std::string& path, int notes);
// The same into the test-media folder, made once.
std::string MakeMidi(int notes);

// The test-media folder (created when missing).
std::string TestMediaDir();

}  // namespace quorrel::test
