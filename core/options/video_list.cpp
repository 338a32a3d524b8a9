#include "options/video_list.h"

#include "base/messages.h"
#include "options/dialog_texts.h"
#include "options/option_services.h"
#include "options/options_model.h"
#include "settings/profile.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "system/file_system.h"
#include "system/paths.h"

namespace quorrel {

namespace {

// Ends the progress display however the folder add ends, a refused write
// included.
class ProgressScope {
 public:
  ProgressScope(TaskProgress& progress, std::size_t total) : progress_(progress) { progress_.begin(total); }
  ~ProgressScope() { progress_.end(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  TaskProgress& progress_;
};

// The platform's file system, for every list that no test gave another.
const VideoFileAccess kPlatformFiles;

}  // namespace

const char* UnstorablePathText(const std::string& path) {
  if (!IsStorableValue(path)) return kUnstorableNameText;
  if (!IsStorablePath(path)) return kTooLongPathText;
  return nullptr;
}

VideoList::VideoList(std::string settingsPath, MessageBoxes& boxes, VideoExtensions videoExtensions)
    : settingsPath_(std::move(settingsPath)),
      boxes_(boxes),
      videoExtensions_(std::move(videoExtensions)),
      files_(&kPlatformFiles) {
  resetSlots();
}

void VideoList::resetSlots() {
  for (int slot = 1; slot <= kSlotCount; ++slot) slots_[slot] = kEmptySlot;
  entries_.clear();
  if (view_ != nullptr) view_->entriesCleared();
  setSelection(std::nullopt);
  setLabels({}, {});
}

void VideoList::fillFromSlots() {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const std::string& text = slots_[slot];
    if (IsEmptySlotForDialog(text)) continue;
    entries_.push_back(text);
    if (view_ != nullptr) view_->entryAppended(text);
  }
}

void VideoList::updateVideoLabels() {
  if (entries_.empty()) {
    setSelection(std::nullopt);
    setLabels({}, {});
    return;
  }
  setSelection(0);
  setLabels("Total Videos = " + std::to_string(entries_.size()), "Video: " + BaseNameOf(entries_.front()));
}

bool VideoList::storeInFreeSlot(const std::string& path, bool reportWhenFull) {
  if (storeInFreeSlots({path}) == 1) return true;
  if (reportWhenFull) boxes_.showMessage(MessageKind::Confirm, kListFullText);
  return false;
}

std::size_t VideoList::storeInFreeSlots(const std::vector<std::string>& paths) {
  if (paths.empty()) return 0;
  // The free slots are chosen from the file as it is at the moment of the
  // write, under the file's write lock: a second options dialog may have
  // filled slots that this dialog's own copy still shows as free, and its
  // videos must not be overwritten.
  std::vector<int> stored;
  SettingsFile(settingsPath_).applyChanges([&](Profile& profile) {
    stored.clear();
    int slot = 1;
    for (const std::string& path : paths) {
      while (slot <= kSlotCount &&
             !IsEmptySlotForDialog(ReadText(&profile, kDialogVideoListSection, SlotKey(slot), kSlotReadDefault))) {
        ++slot;
      }
      if (slot > kSlotCount) return;
      profile.set(kDialogVideoListSection, SlotKey(slot), path);
      stored.push_back(slot++);
    }
  });
  // Only now that the file holds them do they join the table and the list.
  for (std::size_t i = 0; i < stored.size(); ++i) {
    slots_[stored[i]] = paths[i];
    entries_.push_back(paths[i]);
    if (view_ != nullptr) view_->entryAppended(paths[i]);
  }
  if (!stored.empty()) updateVideoLabels();
  return stored.size();
}

void VideoList::removeSelectedVideo() {
  if (!selected_ || *selected_ >= entries_.size()) return;
  const std::size_t index = *selected_;
  const std::string text = entries_[index];
  // The slot is looked up in the file and by text, so with one path in two
  // slots the lower one is emptied, whichever entry was selected.
  const std::optional<int> emptied =
      replaceFirstSlot([&text](const std::string& slotText) { return slotText == text; }, std::string(kEmptySlot));
  if (!emptied) {
    boxes_.showMessage(MessageKind::Error, kRemoveNotFoundText);
    return;
  }
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  if (view_ != nullptr) view_->entryRemoved(index);
  slots_[*emptied] = kEmptySlot;
  updateVideoLabels();
}

std::string VideoList::loadLastDir() const {
  return WithoutTrailingSeparator(SettingsFile(settingsPath_).readText(kHistorySection, kLastDirKey, ""));
}

void VideoList::saveLastDir(const std::string& path) {
  SettingsFile(settingsPath_).writeText(kHistorySection, kLastDirKey, FolderWithSeparator(path));
}

void VideoList::addVideo(FileChooser& chooser) {
  const auto chosen = chooser.chooseVideoFile();
  if (!chosen) return;
  // A path the settings file cannot give back whole would break the show
  // and "Remove Video" later; refusing here keeps the list, the slots and
  // "Last Dir" as they were.
  if (const char* warning = UnstorablePathText(*chosen)) {
    boxes_.showMessage(MessageKind::Warning, warning);
    return;
  }
  if (!chosen->empty()) {
    // The chooser takes any typed name, and may hand back another than the
    // one typed (it drops quotes): a file that is not there, or that the
    // user may not read, would only stop the show later. It is refused
    // now, with nothing changed.
    switch (files_->readAccessOf(*chosen)) {
      case ReadAccess::Missing:
        boxes_.showMessage(MessageKind::Warning, MissingVideoText(*chosen));
        return;
      case ReadAccess::Unreadable:
        boxes_.showMessage(MessageKind::Warning, UnreadableVideoText(*chosen));
        return;
      case ReadAccess::Readable:
        break;
    }
    storeInFreeSlot(*chosen, true);
  }
  saveLastDir(*chosen);
}

void VideoList::removeVideo() {
  if (entries_.empty()) {
    boxes_.showMessage(MessageKind::Information, kNoItemsText);
    return;
  }
  removeSelectedVideo();
}

void VideoList::clearList() {
  if (entries_.empty()) {
    boxes_.showMessage(MessageKind::Plain, kNoVideosToClearText);
    return;
  }
  SettingsFile file(settingsPath_);
  // A slot is marked empty here only once the file holds it empty, so a
  // refused write leaves the table agreeing with the file.
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    file.writeText(kDialogVideoListSection, SlotKey(slot), kEmptySlot);
    slots_[slot] = kEmptySlot;
  }
  entries_.clear();
  if (view_ != nullptr) view_->entriesCleared();
  setSelection(std::nullopt);
  setLabels({}, {});
}

void VideoList::selectVideo(std::size_t index) {
  if (index >= entries_.size()) return;
  setSelection(index);
  setLabels(countLabel_, "Video: " + BaseNameOf(entries_[index]));
}

void VideoList::openSelectedVideo(DesktopOpener& opener) {
  if (entries_.empty() || !selected_) return;
  // The desktop's failure to find a player is not the dialog's to report.
  (void)opener.openFile(entries_[*selected_]);
}

std::optional<std::string> VideoList::videoToPreview() {
  if (entries_.empty() || !selected_) {
    boxes_.showMessage(MessageKind::Information, kNoItemsText);
    return std::nullopt;
  }
  return entries_[*selected_];
}

FolderAddResult VideoList::addEntireFolder(FileChooser& chooser, TaskProgress& progress) {
  const auto folder = chooser.chooseVideoFolder();
  if (!folder || folder->empty()) return {};
  return addFolder(*folder, progress);
}

FolderAddResult VideoList::addFolder(const std::string& folder, TaskProgress& progress) {
  FolderAddResult result;
  const std::optional<std::vector<FolderEntry>> entries = files_->listFolder(folder);
  if (!entries) {
    result.folderUnreadable = true;
    boxes_.showMessage(MessageKind::Warning, UnreadableFolderText(folder));
    return result;
  }
  const std::vector<std::string> files = VideoFilesIn(folder, *entries, videoExtensions_);
  result.found = files.size();
  if (files.empty()) {
    boxes_.showMessage(MessageKind::Information, kNoVideosInFolderText);
    return result;
  }
  {
    ProgressScope scope(progress, files.size());
    std::vector<std::string> batch;
    std::size_t next = 0;
    while (next < files.size() && !result.cancelled && !result.listFull) {
      batch.clear();
      // The progress display is asked before each video, so a cancel
      // keeps exactly the videos counted before it: the batch gathered so
      // far is still written.
      while (next < files.size() && batch.size() < kFolderBatch) {
        if (!progress.advance(next)) {
          result.cancelled = true;
          break;
        }
        const std::string& file = files[next++];
        if (!IsStorablePath(file)) {
          ++result.skipped;
        } else if (files_->readAccessOf(file) != ReadAccess::Readable) {
          ++result.unreadable;
        } else {
          batch.push_back(file);
        }
      }
      const std::size_t stored = storeInFreeSlots(batch);
      result.added += stored;
      // Once the list is full every further file would be refused too:
      // one message is enough.
      if (stored < batch.size()) {
        result.listFull = true;
        boxes_.showMessage(MessageKind::Confirm, kListFullText);
      }
    }
    if (!result.cancelled && !result.listFull) (void)progress.advance(files.size());
  }
  std::string remembered = folder;
  if (remembered.empty() || !IsPathSeparator(remembered.back())) remembered += kPathSeparator;
  saveLastDir(remembered);
  if (result.skipped > 0) boxes_.showMessage(MessageKind::Warning, kUnstorableFolderNamesText);
  if (result.unreadable > 0) boxes_.showMessage(MessageKind::Warning, UnreadableFolderVideosText(result.unreadable));
  return result;
}

std::optional<int> VideoList::replaceFirstSlot(const std::function<bool(const std::string&)>& matches,
                                               const std::string& value) {
  // Looked up and written in one change of the file, under its write lock,
  // so that the slot is the one that matched at that moment, whatever
  // another process did before.
  std::optional<int> replaced;
  SettingsFile(settingsPath_).applyChanges([&](Profile& profile) {
    replaced.reset();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      const std::string key = SlotKey(slot);
      if (!matches(ReadText(&profile, kDialogVideoListSection, key, kSlotReadDefault))) continue;
      profile.set(kDialogVideoListSection, key, value);
      replaced = slot;
      return;
    }
  });
  return replaced;
}

void VideoList::setSelection(std::optional<std::size_t> index) {
  selected_ = index;
  if (view_ != nullptr) view_->selectionChanged(index);
}

void VideoList::setLabels(std::string count, std::string name) {
  countLabel_ = std::move(count);
  nameLabel_ = std::move(name);
  if (view_ != nullptr) view_->labelsChanged(countLabel_, nameLabel_);
}

}  // namespace quorrel
