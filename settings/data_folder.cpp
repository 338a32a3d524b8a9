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

namespace quorrel {

namespace {

std::string& dataFolder() {
  static std::string folder;
  return folder;
}

std::string& settingsFileName() {
  static std::string name;
  return name;
}

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

const std::string& DataFolder() { return dataFolder(); }

const std::string& SettingsFileName() { return settingsFileName(); }

void SetupDataFolder(MessageBoxes& boxes) {
  dataFolder() = configHome() + "/Quorrel";
  if (!isDirectory(dataFolder()) && !createFolders(dataFolder())) {
    boxes.showMessage(MessageKind::Warning,
                      "Could not create a folder. Please right click this software and choose the option to \"Run as "
                      "Admin\" (only needs to be done one time), as you currently do not have authority to create a "
                      "temp folder.");
  }
  settingsFileName() = dataFolder() + "/quorrel4.ini";
  RemoveStaleTemporaryFiles(settingsFileName());
  // An existing file is never completed or repaired: the readers' defaults
  // stand in for whatever it lacks.
  if (!fileExists(settingsFileName())) WriteDefaultSettings();
}

void WriteDefaultSettings() {
  // The 2008 values are set one by one, in the order and with the editing
  // rules of separate writes, on the text in memory, and the file is
  // replaced once: the result is the same file, written in a fraction of
  // the time, and a failure leaves nothing half-written.
  SettingsFile file(SettingsFileName());
  file.applyChanges([](Profile& profile) {
    profile.set("Options", "Sound", "0");
    profile.set("Options", "Repeat", "0");
    profile.set("Options", "Status", "0");
    profile.set("Options", "Color", "4");
    profile.set("Options", "Picdis", "5");
    profile.set("Options", "Picord", "2");
    profile.set("Options", "Height", "100");
    profile.set("Options", "Width", "100");
    for (int n = 1; n <= 1000; ++n) {
      const std::string key = "Name" + std::to_string(n);
      profile.set("vidConfig", key, "Null");
      profile.set("WavConfig", key, "Null");
    }
  });
}

}  // namespace quorrel
