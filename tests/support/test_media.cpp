#include "tests/support/test_media.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/process.h"

namespace quorrel::test {

namespace {

const char* extensionOf(Container c) {
  switch (c) {
    case Container::Avi: return "avi";
    case Container::Mpg: return "mpg";
    case Container::Mov: return "mov";
    case Container::Wmv: return "wmv";
    case Container::Mp4: return "mp4";
  }
  return "avi";
}

std::vector<std::string> codecArgs(Container c) {
  switch (c) {
    case Container::Avi: return {"-c:v", "mpeg4", "-q:v", "5"};
    case Container::Mpg: return {"-c:v", "mpeg1video", "-q:v", "5"};
    case Container::Mov: return {"-c:v", "mpeg4", "-q:v", "5"};
    case Container::Wmv: return {"-c:v", "wmv2", "-q:v", "5"};
    case Container::Mp4: return {"-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p"};
  }
  return {};
}

std::string sanitize(std::string s) {
  for (char& c : s) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return s;
}

// Runs ffmpeg into a private temporary name and renames the result into
// place, so test processes running at once never see half a file.
void runFfmpeg(std::vector<std::string> args, const std::string& target) {
  const std::string temp = target + ".tmp" + std::to_string(getpid()) + std::filesystem::path(target).extension().string();
  std::vector<std::string> argv = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back(temp);
  const ProcessResult r = RunProcess(argv, std::chrono::minutes(3));
  if (r.exitStatus != 0) {
    std::remove(temp.c_str());
    throw std::runtime_error("ffmpeg failed for " + target + ": " + r.output);
  }
  std::filesystem::rename(temp, target);
}

}  // namespace

std::string TestMediaDir() {
  std::filesystem::create_directories(QUORREL_TEST_MEDIA_DIR);
  return QUORREL_TEST_MEDIA_DIR;
}

std::string MakeClip(const ClipOptions& clip) {
  std::ostringstream name;
  name << TestMediaDir() << "/clip_" << sanitize(clip.pattern) << "_" << clip.width << "x" << clip.height << "_"
       << static_cast<int>(clip.seconds * 1000) << "ms_" << clip.frameRate << "fps" << (clip.withAudio ? "_a" : "")
       << (clip.rotation != 0 ? "_r" + std::to_string(clip.rotation) : "") << "." << extensionOf(clip.container);
  const std::string path = name.str();
  if (std::filesystem::exists(path)) return path;
  std::ostringstream source;
  if (clip.pattern == "bars") {
    source << "smptebars=s=" << clip.width << "x" << clip.height << ":r=" << clip.frameRate << ":d=" << clip.seconds;
  } else if (clip.pattern.rfind("square:", 0) == 0) {
    // "square:BACKGROUND:SQUARE": a square in the middle, half as wide as
    // the picture's shorter side, whose shape on the screen tells how the
    // picture was stretched.
    const auto colon = clip.pattern.find(':', 7);
    const int side = std::min(clip.width, clip.height) / 2;
    source << "color=c=" << clip.pattern.substr(7, colon - 7) << ":s=" << clip.width << "x" << clip.height
           << ":r=" << clip.frameRate << ":d=" << clip.seconds << ",drawbox=x=" << (clip.width - side) / 2
           << ":y=" << (clip.height - side) / 2 << ":w=" << side << ":h=" << side
           << ":color=" << clip.pattern.substr(colon + 1) << ":t=fill";
  } else if (const auto bar = clip.pattern.find('|'); bar != std::string::npos) {
    // Two colours side by side, each half the picture wide.
    const auto half = [&](const std::string& colour) {
      std::ostringstream part;
      part << "color=c=" << colour << ":s=" << clip.width / 2 << "x" << clip.height << ":r=" << clip.frameRate
           << ":d=" << clip.seconds;
      return part.str();
    };
    source << half(clip.pattern.substr(0, bar)) << "[left];" << half(clip.pattern.substr(bar + 1))
           << "[right];[left][right]hstack";
  } else {
    source << "color=c=" << clip.pattern << ":s=" << clip.width << "x" << clip.height << ":r=" << clip.frameRate
           << ":d=" << clip.seconds;
  }
  std::vector<std::string> args = {"-f", "lavfi", "-i", source.str()};
  if (clip.withAudio) {
    std::ostringstream tone;
    tone << "sine=frequency=440:duration=" << clip.seconds;
    args.insert(args.end(), {"-f", "lavfi", "-i", tone.str(), "-shortest"});
  }
  const auto codec = codecArgs(clip.container);
  args.insert(args.end(), codec.begin(), codec.end());
  if (clip.withAudio) args.insert(args.end(), {"-c:a", clip.container == Container::Wmv ? "wmav2" : "mp2"});
  if (clip.rotation == 0) {
    runFfmpeg(args, path);
    return path;
  }
  // This ffmpeg records a rotation only when it copies a stream.
  const std::string upright = path + ".upright." + extensionOf(clip.container);
  runFfmpeg(args, upright);
  runFfmpeg({"-i", upright, "-c", "copy", "-metadata:s:v:0", "rotate=" + std::to_string(clip.rotation)}, path);
  std::filesystem::remove(upright);
  return path;
}

std::string MakeWav(double seconds, int frequency) {
  std::ostringstream name;
  name << TestMediaDir() << "/tone_" << frequency << "Hz_" << static_cast<int>(seconds * 1000) << "ms.wav";
  const std::string path = name.str();
  if (std::filesystem::exists(path)) return path;
  std::ostringstream tone;
  tone << "sine=frequency=" << frequency << ":duration=" << seconds;
  runFfmpeg({"-f", "lavfi", "-i", tone.str(), "-ac", "1", "-c:a", "pcm_s16le"}, path);
  return path;
}

std::string WriteMidi(const std::string& path, int notes) {
  std::string track;
  auto put = [&track](std::initializer_list<int> bytes) {
    for (int b : bytes) track.push_back(static_cast<char>(b));
  };
  put({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // tempo: 500000 us per beat
  put({0x00, 0xC0, 0x00});                          // program: piano
  for (int i = 0; i < notes; ++i) {
    const int key = 60 + (i % 12);
    put({0x00, 0x90, key, 0x60});        // note on
    put({0x83, 0x60, 0x80, key, 0x40});  // 480 ticks later: note off
  }
  put({0x00, 0xFF, 0x2F, 0x00});  // end of track
  std::string file = "MThd";
  for (int b : {0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0}) file.push_back(static_cast<char>(b));  // 480 ticks per beat
  file += "MTrk";
  const auto size = static_cast<std::uint32_t>(track.size());
  for (int shift : {24, 16, 8, 0}) file.push_back(static_cast<char>((size >> shift) & 0xFF));
  file += track;
  const std::string temp = path + ".tmp" + std::to_string(getpid());
  WriteFile(temp, file);
  std::filesystem::rename(temp, path);
  return path;
}

std::string MakeMidi(int notes) {
  const std::string path = TestMediaDir() + "/notes_" + std::to_string(notes) + ".mid";
  if (std::filesystem::exists(path)) return path;
  return WriteMidi(path, notes);
}

}  // namespace quorrel::test
