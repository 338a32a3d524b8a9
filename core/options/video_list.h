#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "options/video_file_access.h"
#include "options/video_formats.h"
#include "options/video_slots.h"

namespace quorrel {

class MessageBoxes;
class FileChooser;
class DesktopOpener;
class TaskProgress;

// The list box and its labels as the user sees them. The list tells its
// view about each change as it happens, so a view of 1000 entries never has
// to be rebuilt for one added video.
class VideoListView {
 public:
  virtual ~VideoListView() = default;
  virtual void entryAppended(const std::string& text) = 0;
  virtual void entryRemoved(std::size_t index) = 0;
  virtual void entriesCleared() = 0;
  virtual void selectionChanged(std::optional<std::size_t> index) = 0;
  virtual void labelsChanged(const std::string& count, const std::string& name) = 0;
};

// How a folder add ended.
struct FolderAddResult {
  std::size_t found = 0;       // video files in the folder
  std::size_t added = 0;       // stored in a slot
  std::size_t skipped = 0;     // names the settings file cannot hold
  std::size_t unreadable = 0;  // files the user may not read
  bool folderUnreadable = false;
  bool cancelled = false;
  bool listFull = false;
};

// The video list of the options dialog: the slot table, the list box's
// entries (slot order when the dialog opens, appended at the end as videos
// are added), the selection and the two labels. Every add, removal and
// clear goes to the settings file at once, slot by slot; a refused write
// stops the operation with the settings store's error before the list
// changes.
class VideoList {
 public:
  // `videoExtensions` are the files that "Add Entire Folder" takes.
  VideoList(std::string settingsPath, MessageBoxes& boxes, VideoExtensions videoExtensions);

  void setView(VideoListView* view) { view_ = view; }
  // Where the list learns whether videos can be read; the platform's file
  // system until a test sets another. `files` outlives the list.
  void setFileAccess(const VideoFileAccess& files) { files_ = &files; }
  void setSettingsPath(std::string path) { settingsPath_ = std::move(path); }

  [[nodiscard]] VideoSlots& videoSlots() { return slots_; }
  [[nodiscard]] const VideoSlots& videoSlots() const { return slots_; }
  [[nodiscard]] const std::vector<std::string>& entries() const { return entries_; }
  [[nodiscard]] std::optional<std::size_t> selected() const { return selected_; }
  [[nodiscard]] const std::string& countLabel() const { return countLabel_; }
  [[nodiscard]] const std::string& nameLabel() const { return nameLabel_; }

  // Every slot is empty again, the list box too.
  void resetSlots();
  // Appends every non-empty video slot to the list box, in slot order.
  void fillFromSlots();
  // Selects the first entry and shows the count and its file name.
  void updateVideoLabels();

  // Stores the path in the lowest empty slot; false when all are taken
  // (after the "Confirm" message when `reportWhenFull` is set).
  bool storeInFreeSlot(const std::string& path, bool reportWhenFull);
  // Stores the paths, in their order, in the lowest slots that are empty
  // in the file, with one write of the file, and appends them to the list.
  // How many were stored: the first ones, all but those that found no
  // empty slot left.
  std::size_t storeInFreeSlots(const std::vector<std::string>& paths);
  // Empties the lowest slot of the file holding the selected entry's text.
  void removeSelectedVideo();

  // The "History" / "Last Dir" folder: read for the chooser's start
  // folder (a trailing separator dropped unless it is the root), and
  // written as the folder part of a chosen path, separator included.
  [[nodiscard]] std::string loadLastDir() const;
  void saveLastDir(const std::string& path);

  // The dialog's handlers.
  void addVideo(FileChooser& chooser);
  void removeVideo();
  void clearList();
  void selectVideo(std::size_t index);
  void openSelectedVideo(DesktopOpener& opener);
  // The path to preview, or nullopt (after its message) on an empty list.
  [[nodiscard]] std::optional<std::string> videoToPreview();
  FolderAddResult addEntireFolder(FileChooser& chooser, TaskProgress& progress);
  // Adds the folder's video files in name order, each in the lowest slot
  // empty at the time, a batch at a time, then remembers the folder as
  // "Last Dir". Files the user may not read are left out and counted; a
  // folder that cannot be read is said to be so, and nothing changes.
  FolderAddResult addFolder(const std::string& folder, TaskProgress& progress);

 private:
  // How many of a folder's videos go to the file in one write. Each write
  // is one locked read and replace of the whole file, about a millisecond
  // for a full list: one per video made a folder of 1000 take a second.
  // Batches keep the list box filling as the progress bar moves, and a
  // cancel still takes effect between any two videos.
  static constexpr std::size_t kFolderBatch = 50;

  // Writes `value` into the lowest slot of the file whose text `matches`;
  // which slot, or nothing when none matched.
  std::optional<int> replaceFirstSlot(const std::function<bool(const std::string&)>& matches, const std::string& value);
  void setSelection(std::optional<std::size_t> index);
  void setLabels(std::string count, std::string name);

  std::string settingsPath_;
  MessageBoxes& boxes_;
  VideoExtensions videoExtensions_;
  VideoListView* view_ = nullptr;
  const VideoFileAccess* files_;
  VideoSlots slots_;
  std::vector<std::string> entries_;
  std::optional<std::size_t> selected_;
  std::string countLabel_;
  std::string nameLabel_;
};

// The warning for a chosen path that the settings file could not give back
// whole (a line break, or longer than a read returns); nullptr for a path
// it can store.
[[nodiscard]] const char* UnstorablePathText(const std::string& path);

}  // namespace quorrel
