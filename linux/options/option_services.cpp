#include "linux/options/option_services.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>
#include <string_view>

#include "base/log.h"
#include "linux/media/video_formats.h"

namespace quorrel::linux_desktop {

QString PathText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::string PathBytes(const QString& text) { return QFile::encodeName(text).toStdString(); }

namespace {

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name shows as `name`, or nullopt. A name that
// is not valid UTF-8 reaches Qt with replacement characters in it, so its
// bytes can only be found again by comparing what each entry shows as.
std::optional<std::string> entryShownAs(const std::string& folder, const QString& name) {
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.empty() ? "/" : folder.c_str()), &::closedir);
  if (!entries) return std::nullopt;
  while (const dirent* entry = ::readdir(entries.get())) {
    if (PathText(entry->d_name) == name) return std::string(entry->d_name);
  }
  return std::nullopt;
}

}  // namespace

std::string ChosenPathBytes(const QString& chosen) {
  std::string bytes = PathBytes(chosen);
  if (exists(bytes) || !chosen.startsWith(QLatin1Char('/'))) return bytes;
  // Walk down from the root, taking each folder's and the file's own bytes
  // from the file system, so that the list keeps the file's exact name.
  std::string found;
  for (const QString& part : chosen.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    std::string candidate = found + "/" + PathBytes(part);
    if (!exists(candidate)) {
      const std::optional<std::string> entry = entryShownAs(found, part);
      // A typed name of a file that does not exist yet is taken as typed.
      if (!entry) return bytes;
      candidate = found + "/" + *entry;
    }
    found = std::move(candidate);
  }
  return found.empty() ? bytes : found;
}

namespace {

std::optional<std::string> runChooser(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ChosenPathBytes(dialog.selectedFiles().constFirst());
}

}  // namespace

void FileDialogs::setVideoStartFolder(const std::string& folder) { videoFolder_ = PathText(folder); }

QString FileDialogs::startFolder() const {
  // Qt's own start is the process's current folder, which for a program
  // started from a menu or an idle tool means nothing to the user. The
  // Videos folder is the user's own (XDG user dirs), where it exists.
  for (const QString& folder :
       {lastFolder_, videoFolder_, QStandardPaths::writableLocation(QStandardPaths::MoviesLocation)}) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
  }
  return QDir::homePath();
}

std::optional<std::string> FileDialogs::choose(QFileDialog& dialog) {
  auto chosen = runChooser(dialog);
  if (chosen) {
    const QFileInfo picked(dialog.selectedFiles().constFirst());
    lastFolder_ = dialog.fileMode() == QFileDialog::Directory ? picked.absoluteFilePath() : picked.absolutePath();
  }
  return chosen;
}

std::optional<std::string> FileDialogs::chooseVideoFile() {
  QFileDialog dialog(parent_, QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name of a file that does not exist is accepted here: the list
  // checks every chosen file, so that both platforms refuse a missing one
  // with the same message.
  dialog.setFileMode(QFileDialog::AnyFile);
  // The first entry, which the dialog starts with, lists every video this
  // platform plays; the dialog matches names without regard to case.
  QStringList filters;
  for (const VideoFilter& filter : VideoChooserFilters(kPlayableVideoExtensions)) {
    QStringList patterns;
    for (std::string_view extension : filter.extensions) {
      patterns << QStringLiteral("*.") +
                      QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
    }
    filters << QString::fromStdString(filter.name) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  dialog.setNameFilters(filters);
  dialog.setDirectory(startFolder());
  if (!lastVideoFile_.isEmpty() && QFileInfo(lastVideoFile_).absolutePath() == startFolder()) {
    dialog.selectFile(lastVideoFile_);
  }
  auto chosen = choose(dialog);
  if (chosen) lastVideoFile_ = dialog.selectedFiles().constFirst();
  return chosen;
}

std::optional<std::string> FileDialogs::chooseSoundFile() {
  QFileDialog dialog(parent_, QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QStringLiteral("wav (*.wav);midi (*.mid) (*.wav *.mid)"));
  dialog.setDirectory(startFolder());
  return choose(dialog);
}

std::optional<std::string> FileDialogs::chooseVideoFolder() {
  QFileDialog dialog(parent_, QStringLiteral("Add Entire Folder"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setDirectory(startFolder());
  return choose(dialog);
}

bool DesktopLauncher::openFile(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(path)));
}

void IdleWatcherLauncher::startIdleWatcher() {
  if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("--idle")})) {
    LogError("cannot start the idle watcher");
  }
}

ProgressDialog::~ProgressDialog() = default;

void ProgressDialog::begin(std::size_t total) {
  if (total <= kShownAbove) return;
  dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("Adding the folder's videos to your list..."),
                                              QStringLiteral("Cancel"), 0, static_cast<int>(total), parent_);
  dialog_->setWindowTitle(QStringLiteral("Add Entire Folder"));
  dialog_->setWindowModality(Qt::WindowModal);
  dialog_->setMinimumDuration(0);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setValue(0);
  dialog_->show();
  sinceUpdate_.start();
}

bool ProgressDialog::advance(std::size_t done) {
  if (!dialog_) return true;
  // A window-modal progress dialog handles pending events inside setValue,
  // which keeps the bar moving and lets the Cancel click through. A few
  // dozen updates a second are enough for both; more would only slow the
  // adding down.
  if (sinceUpdate_.elapsed() < 25 && done != static_cast<std::size_t>(dialog_->maximum())) return true;
  sinceUpdate_.restart();
  dialog_->setValue(static_cast<int>(done));
  return !dialog_->wasCanceled();
}

void ProgressDialog::end() { dialog_.reset(); }

}  // namespace quorrel::linux_desktop
