#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "options/option_services.h"
#include "options/video_file_access.h"
#include "options/video_formats.h"

namespace quorrel::test {

// Records every message instead of showing it.
class RecordingBoxes : public MessageBoxes {
 public:
  void showMessage(MessageKind kind, const std::string& text) override { shown.emplace_back(kind, text); }
  std::vector<std::pair<MessageKind, std::string>> shown;
};

// Answers each chooser with the next queued answer (nullopt: cancelled).
class FakeChooser : public FileChooser {
 public:
  void setVideoStartFolder(const std::string& folder) override { startFolder = folder; }
  std::optional<std::string> chooseVideoFile() override { return next(videoAnswers); }
  std::optional<std::string> chooseSoundFile() override { return next(soundAnswers); }
  std::optional<std::string> chooseVideoFolder() override { return next(folderAnswers); }

  std::string startFolder;
  std::deque<std::optional<std::string>> videoAnswers;
  std::deque<std::optional<std::string>> soundAnswers;
  std::deque<std::optional<std::string>> folderAnswers;

 private:
  static std::optional<std::string> next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class FakeOpener : public DesktopOpener {
 public:
  bool openFile(const std::string& path) override {
    opened.push_back(path);
    return succeeds;
  }
  std::vector<std::string> opened;
  bool succeeds = true;
};

// Counts progress steps; cancels once `cancelAt` steps were reported.
class FakeProgress : public TaskProgress {
 public:
  void begin(std::size_t count) override {
    total = count;
    ++begun;
  }
  bool advance(std::size_t done) override {
    last = done;
    ++steps;
    return !cancelAt || steps <= *cancelAt;
  }
  void end() override { ++ended; }

  std::size_t total = 0, last = 0, steps = 0;
  int begun = 0, ended = 0;
  std::optional<std::size_t> cancelAt;
};

// The file system as the list sees it in the tests of its rules: every
// path names a file the user may read, except those said to be missing or
// unreadable, and folders are listed from disk, except those said to be
// unreadable. The tests may run as root, whom no permission stops.
class StandInFiles : public VideoFileAccess {
 public:
  ReadAccess readAccessOf(const std::string& path) const override {
    if (missing.contains(path)) return ReadAccess::Missing;
    if (unreadable.contains(path)) return ReadAccess::Unreadable;
    return ReadAccess::Readable;
  }
  std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder) const override {
    if (unreadableFolders.contains(folder)) return std::nullopt;
    return VideoFileAccess::listFolder(folder);
  }

  std::set<std::string> missing;
  std::set<std::string> unreadable;
  std::set<std::string> unreadableFolders;
};

// A platform's list of playable videos, for the tests: the five fixed
// entries' extensions, so that which names a folder add takes is plain.
inline const VideoExtensions kTestVideoExtensions = {"mpg", "avi", "mov", "wmv", "mpe", "mpeg"};

// The default settings file's text, as a fresh installation has it, with
// `videos` placed in the first slots.
inline std::string DefaultSettingsText(const std::vector<std::string>& videos = {}) {
  std::string text = "[Options]\nSound=0\nRepeat=0\nStatus=0\nColor=4\nPicdis=5\nPicord=2\nHeight=100\nWidth=100\n";
  text += "[vidConfig]\n";
  for (std::size_t n = 1; n <= 1000; ++n) {
    text += "Name" + std::to_string(n) + "=" + (n <= videos.size() ? videos[n - 1] : std::string("Null")) + "\n";
  }
  text += "[WavConfig]\n";
  for (int n = 1; n <= 1000; ++n) text += "Name" + std::to_string(n) + "=Null\n";
  return text;
}

}  // namespace quorrel::test
