#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quorrel {

// The choosers the options dialog asks the user through. Every path is the
// file system's own bytes, so a name that is not valid UTF-8 comes back as
// it is on disk. A cancelled chooser gives nullopt.
class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The folder the video chooser opens in until the user has chosen a file;
  // empty text leaves it to the platform.
  virtual void setVideoStartFolder(const std::string& folder) = 0;
  // A single video file, typed or picked. The chooser does not ask that it
  // exist; the list checks that before storing it.
  [[nodiscard]] virtual std::optional<std::string> chooseVideoFile() = 0;
  // The background sound file (WAV or MIDI).
  [[nodiscard]] virtual std::optional<std::string> chooseSoundFile() = 0;
  // A folder whose videos are all added at once.
  [[nodiscard]] virtual std::optional<std::string> chooseVideoFolder() = 0;
};

// Hands a local file to the desktop's default application for its type,
// without a shell. False when the desktop could not start one.
class DesktopOpener {
 public:
  virtual ~DesktopOpener() = default;
  [[nodiscard]] virtual bool openFile(const std::string& path) = 0;
};

// Starts the session's idle watcher where the platform has one, detached
// from the dialog, so that it goes on after the dialog has closed. A second
// watcher of a session ends at once by itself, so a start when one runs
// changes nothing.
class IdleWatcherStarter {
 public:
  virtual ~IdleWatcherStarter() = default;
  virtual void startIdleWatcher() = 0;
};

// Shows how far a long task has come and lets the user cancel it.
class TaskProgress {
 public:
  virtual ~TaskProgress() = default;
  virtual void begin(std::size_t total) = 0;
  // False once the user has asked to cancel.
  [[nodiscard]] virtual bool advance(std::size_t done) = 0;
  virtual void end() = 0;
};

}  // namespace quorrel
