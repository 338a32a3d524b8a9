#include "config/qt_config_services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace quorrel {

QString PathText(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::string PathBytes(const QString& text) { return QFile::encodeName(text).toStdString(); }

namespace {

std::optional<std::string> runChooser(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return PathBytes(dialog.selectedFiles().constFirst());
}

}  // namespace

void QtFileChooser::setVideoStartFolder(const std::string& folder) { videoFolder_ = PathText(folder); }

std::optional<std::string> QtFileChooser::chooseVideoFile() {
  QFileDialog dialog(parent_, QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name of a file that does not exist is accepted too.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({QStringLiteral("MPEG AVI MOV WMV (*.mpg *.avi *.mov *.wmv *.mpe *.mpeg)"),
                         QStringLiteral("MPEG (*.mpg *.mpe *.mpeg)"), QStringLiteral("AVI (*.avi)"),
                         QStringLiteral("MOV (*.mov)"), QStringLiteral("WMV (*.wmv)")});
  if (!lastVideoFile_.isEmpty()) {
    dialog.setDirectory(QFileInfo(lastVideoFile_).absolutePath());
    dialog.selectFile(lastVideoFile_);
  } else if (!videoFolder_.isEmpty()) {
    dialog.setDirectory(videoFolder_);
  }
  auto chosen = runChooser(dialog);
  if (chosen) lastVideoFile_ = dialog.selectedFiles().constFirst();
  return chosen;
}

std::optional<std::string> QtFileChooser::chooseSoundFile() {
  QFileDialog dialog(parent_, QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QStringLiteral("wav (*.wav);midi (*.mid) (*.wav *.mid)"));
  return runChooser(dialog);
}

std::optional<std::string> QtFileChooser::chooseVideoFolder() {
  QFileDialog dialog(parent_, QStringLiteral("Add Entire Folder"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  const QString start = !lastVideoFile_.isEmpty() ? QFileInfo(lastVideoFile_).absolutePath() : videoFolder_;
  if (!start.isEmpty()) dialog.setDirectory(start);
  return runChooser(dialog);
}

bool QtDesktopOpener::openFile(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(path)));
}

QtTaskProgress::~QtTaskProgress() = default;

void QtTaskProgress::begin(std::size_t total) {
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

bool QtTaskProgress::advance(std::size_t done) {
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

void QtTaskProgress::end() { dialog_.reset(); }

}  // namespace quorrel
