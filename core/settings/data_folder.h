#pragma once

#include <string>

namespace quorrel {

class MessageBoxes;

// Where the settings live: the data folder and the settings file in it.
// The mode's entry works it out once and hands it to the window that needs
// it, so nothing below the entry reads the environment.
struct SettingsLocation {
  std::string DataFolder;        // "<configuration folder>/Quorrel"
  std::string SettingsFileName;  // "<data folder>/quorrel4.ini"
};

// The location inside the given configuration folder.
[[nodiscard]] SettingsLocation SettingsLocationIn(const std::string& configHome);

// The user's location, in the folder that UserSettingsHome names: on POSIX
// systems $XDG_CONFIG_HOME when it is an absolute path, else ~/.config, as
// the XDG base directory rules say; on Windows the roaming application-data
// folder.
[[nodiscard]] SettingsLocation UserSettingsLocation();

// Creates the data folder (and its missing parents) when it is not there,
// warning through `boxes` when that fails, and writes the default settings
// file when there is none.
void SetupDataFolder(const SettingsLocation& location, MessageBoxes& boxes);

// Writes the default file: the options, then the 1000 video slots and
// sound slots, all in one replace of the file.
void WriteDefaultSettings(const std::string& settingsFileName);

}  // namespace quorrel
