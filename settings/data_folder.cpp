#include "settings/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "app/messages.h"
#include "settings/file_io.h"
#include "settings/profile.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"

namespace quorrel {

namespace {

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else ~/.config, as the XDG base directory rules say.
std::string configHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
    return std::string(user->pw_dir) + "/.config";
  }
  return "/.config";
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates `path` and its missing parents. New folders are private to the
// user (0700), as the XDG rules ask for configuration folders: the video
// list names the user's files.
bool createFolders(const std::string& path) {
  if (path.empty() || isDirectory(path)) return !path.empty();
  const auto slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !createFolders(path.substr(0, slash))) return false;
  return ::mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && isDirectory(path));
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

SettingsLocation SettingsLocationIn(const std::string& configHome) {
  SettingsLocation location;
  location.DataFolder = configHome + "/Quorrel";
  location.SettingsFileName = location.DataFolder + "/quorrel4.ini";
  return location;
}

SettingsLocation UserSettingsLocation() { return SettingsLocationIn(configHome()); }

void SetupDataFolder(const SettingsLocation& location, MessageBoxes& boxes) {
  if (!isDirectory(location.DataFolder) && !createFolders(location.DataFolder)) {
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
