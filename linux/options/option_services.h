#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <memory>

#include "options/option_services.h"

class QFileDialog;
class QWidget;

namespace quorrel::linux_desktop {

// Qt's own file dialogs (the same on every desktop, and driven alike by a
// user and by a test typing a path). Chosen names become the file system's
// own bytes (ChosenPathBytes).
class FileDialogs : public FileChooser {
 public:
  explicit FileDialogs(QWidget* parent) : parent_(parent) {}
  void setVideoStartFolder(const std::string& folder) override;
  std::optional<std::string> chooseVideoFile() override;
  std::optional<std::string> chooseSoundFile() override;
  std::optional<std::string> chooseVideoFolder() override;

 private:
  // Where a chooser opens: the folder last chosen in, else the list's,
  // else the user's Videos folder, else home.
  [[nodiscard]] QString startFolder() const;
  std::optional<std::string> choose(QFileDialog& dialog);

  QWidget* parent_;
  QString videoFolder_;
  QString lastVideoFile_;
  QString lastFolder_;
};

// QDesktopServices with a file URL: no shell sees the name.
class DesktopLauncher : public DesktopOpener {
 public:
  bool openFile(const std::string& path) override;
};

// "quorrel --idle" from this program's own file, detached: the watcher
// outlives the dialog, and a second one of the session ends by itself.
class IdleWatcherLauncher : public IdleWatcherStarter {
 public:
  void startIdleWatcher() override;
};

// A progress dialog with a Cancel button, shown only for folders big
// enough for the wait to be noticed.
class ProgressDialog : public TaskProgress {
 public:
  explicit ProgressDialog(QWidget* parent) : parent_(parent) {}
  ~ProgressDialog() override;
  void begin(std::size_t total) override;
  bool advance(std::size_t done) override;
  void end() override;

  static constexpr std::size_t kShownAbove = 36;

 private:
  QWidget* parent_;
  std::unique_ptr<QProgressDialog> dialog_;
  QElapsedTimer sinceUpdate_;
};

// Bytes of a path for Qt, and back.
[[nodiscard]] QString PathText(const std::string& bytes);
[[nodiscard]] std::string PathBytes(const QString& text);

// The exact bytes of a path that a file dialog returned: for an existing
// file whose name, or a folder's, is not valid UTF-8, the bytes as they
// are on disk; otherwise the name as it was typed.
[[nodiscard]] std::string ChosenPathBytes(const QString& chosen);

}  // namespace quorrel::linux_desktop
