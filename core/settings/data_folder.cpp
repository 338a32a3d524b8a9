#include "settings/data_folder.h"

#include <optional>
#include <string>

#include "base/messages.h"
#include "settings/profile.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "system/file_system.h"
#include "system/paths.h"

namespace quorrel {

namespace {

bool isDirectory(const std::string& path) {
  const std::optional<FileStatus> status = StatusOf(path);
  return status && status->directory;
}

bool fileExists(const std::string& path) {
  const std::optional<FileStatus> status = StatusOf(path);
  return status && !status->directory;
}

}  // namespace

SettingsLocation SettingsLocationIn(const std::string& configHome) {
  SettingsLocation location;
  location.DataFolder = configHome + kPathSeparator + "Quorrel";
  location.SettingsFileName = location.DataFolder + kPathSeparator + "quorrel4.ini";
  return location;
}

SettingsLocation UserSettingsLocation() { return SettingsLocationIn(UserSettingsHome()); }

void SetupDataFolder(const SettingsLocation& location, MessageBoxes& boxes) {
  if (!isDirectory(location.DataFolder) && !CreateFolders(location.DataFolder)) {
    boxes.showMessage(MessageKind::Warning,
                      "Could not create a folder. Please right click this software and choose the option to \"Run as "
                      "Admin\" (only needs to be done one time), as you currently do not have authority to create a "
                      "temp folder.");
  }
  RemoveStaleTemporaryFiles(location.SettingsFileName);
  // An existing file is never completed or repaired: the readers' defaults
  // stand in for whatever it lacks.
  if (!fileExists(location.SettingsFileName)) WriteDefaultSettings(location.SettingsFileName);
}

void WriteDefaultSettings(const std::string& settingsFileName) {
  // The 2008 values are set one by one, in the order and with the editing
  // rules of separate writes, on the text in memory, and the file is
  // replaced once: the result is the same file, written in a fraction of
  // the time, and a failure leaves nothing half-written.
  SettingsFile file(settingsFileName);
  file.applyChanges([](Profile& profile) {
    for (const DefaultOption& option : kDefaultOptions) profile.set(kOptionsSection, option.key, option.value);
    for (int n = 1; n <= kSlotCount; ++n) {
      const std::string key = SlotKey(n);
      profile.set(kVideoListSection, key, kEmptySlot);
      profile.set(kSoundSection, key, kEmptySlot);
    }
  });
}

}  // namespace quorrel
