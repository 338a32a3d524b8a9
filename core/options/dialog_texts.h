#pragma once

// The longer fixed texts of the configuration mode's windows and their
// messages, shared by the Qt and the Win32 views so that both show the same
// words.

#include <cstddef>
#include <string>

namespace quorrel {

inline constexpr const char* kOptionsIntroText =
    "Click the \"Add\" button to add any video files to your screensaver. Note that you can double-click any video in "
    "your list to automatically open it, or click the \"Preview\" button to open a viewer. You can also play videos "
    "full-screen.";

inline constexpr const char* kVideoSoundIntroText =
    "Turn your sound on or off while your videos are playing. Many videos have different volumes, so this feature "
    "will allow you to turn video sound off.";

// One disclaimer laid out over three labels: the first breaks off in the
// middle of its sentence and the second carries it on.
inline constexpr const char* kDisclaimer1 =
    "Quorrel is provided as is, without warranty of any kind, express or implied, including but not limited to "
    "the warranties of merchantability, fitness for a";
inline constexpr const char* kDisclaimer2 =
    "particular purpose and non-infringement.  You use Quorrel and play your videos with it entirely at your own "
    "risk.";
inline constexpr const char* kDisclaimer3 =
    "In no event shall the authors be liable for any claim, damages or other liability arising from the use of "
    "Quorrel.";

// The user's messages for the list, word for word.
inline constexpr const char* kListFullText =
    "You have reached the maximum number of entries stored.  Please delete one if you wish to add another.";
inline constexpr const char* kNoItemsText =
    "There are no items in the list. Click ADD to add some pictures to the list.";
inline constexpr const char* kNoVideosToClearText =
    "There are no videos in the list above. Please add some videos first.";
inline constexpr const char* kRemoveNotFoundText =
    "An error occurred while looking for the string to delete. You may need to delete your file and run the screen "
    "saver settings again which will re-create the file. If this continues contact technical support.";
inline constexpr const char* kUnstorableNameText =
    "The file name holds a line break, which the settings file cannot store. Please rename the file and choose it "
    "again.";
inline constexpr const char* kTooLongPathText =
    "The file's full name is longer than 2047 characters, which the settings file cannot store. Please move the file "
    "to a folder with a shorter name and choose it again.";
inline constexpr const char* kUnstorableFolderNamesText =
    "Some file names in this folder hold a line break, or make a full name longer than 2047 characters, which the "
    "settings file cannot store. Those files were not added.";
inline constexpr const char* kNoVideosInFolderText = "There are no video files in this folder.";

// "Add Video" refusing the chosen file, and "Add Entire Folder" refusing a
// folder or leaving out some of its files.
[[nodiscard]] inline std::string MissingVideoText(const std::string& path) {
  return "The video file " + path + " does not exist, so it was not added to your list.";
}
[[nodiscard]] inline std::string UnreadableVideoText(const std::string& path) {
  return "The video file " + path + " cannot be read, so it was not added to your list.";
}
[[nodiscard]] inline std::string UnreadableFolderText(const std::string& folder) {
  return "The folder " + folder + " cannot be read, so no videos were added from it.";
}
[[nodiscard]] inline std::string UnreadableFolderVideosText(std::size_t count) {
  if (count == 1) return "1 video file in this folder cannot be read, so it was not added to your list.";
  return std::to_string(count) + " video files in this folder cannot be read, so they were not added to your list.";
}

// Shown once, as the options dialog opens on a settings file in a text
// encoding that is not read; each write to it that is refused says why in
// its own error.
[[nodiscard]] inline std::string UnreadableSettingsFileText(const std::string& path) {
  return "The settings file " + path +
         " is stored in a text encoding that Quorrel cannot read, so your settings are not shown and the file will "
         "not be changed. Save it as UTF-8, or as UTF-16 with a byte order mark, in a text editor, or delete it, to "
         "change your settings here.";
}

}  // namespace quorrel
