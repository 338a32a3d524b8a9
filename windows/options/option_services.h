#pragma once

#include <windows.h>

#include <string>

#include "options/option_services.h"

namespace quorrel::windows_desktop {

// The common file-open dialog for the video and the sound file, and the
// shell's folder chooser for "Add Entire Folder". Paths come back as UTF-8.
class FileDialogs : public FileChooser {
 public:
  explicit FileDialogs(HWND owner) : owner_(owner) {}
  void setVideoStartFolder(const std::string& folder) override { videoFolder_ = folder; }
  std::optional<std::string> chooseVideoFile() override;
  std::optional<std::string> chooseSoundFile() override;
  std::optional<std::string> chooseVideoFolder() override;

 private:
  HWND owner_;
  std::string videoFolder_;
  // After a choice the chooser starts at the chosen file.
  std::wstring lastVideoFile_;
};

// ShellExecuteW with the verb "open": the program the user associated with
// the file's type. A result of 32 or less is a failure.
class DesktopLauncher : public DesktopOpener {
 public:
  bool openFile(const std::string& path) override;
};

// A small window with the count so far and a Cancel button, shown while a
// folder's videos are added; messages are pumped at each step so that it
// paints and Cancel can be pressed.
class ProgressDialog : public TaskProgress {
 public:
  explicit ProgressDialog(HWND owner) : owner_(owner) {}
  ~ProgressDialog() override { end(); }
  void begin(std::size_t total) override;
  bool advance(std::size_t done) override;
  void end() override;

 private:
  HWND owner_;
  HWND window_ = nullptr;
  HWND text_ = nullptr;
  std::size_t total_ = 0;
  bool cancelled_ = false;
};

}  // namespace quorrel::windows_desktop
