#pragma once

#include <string>

namespace quorrel {

class MessageBoxes;

// The data folder ("<XDG config home>/Quorrel") and the settings file in it
// ("<data folder>/quorrel4.ini"), as set by the last SetupDataFolder. Empty
// before the first run.
[[nodiscard]] const std::string& DataFolder();
[[nodiscard]] const std::string& SettingsFileName();

// Computes both names, creates the data folder (and its missing parents)
// when it is not there, warning through `boxes` when that fails, and writes
// the default settings file when there is none.
void SetupDataFolder(MessageBoxes& boxes);

// Writes the default file, one write operation per value, in the fixed
// sequence: the options, then the 1000 video slots and sound slots.
void WriteDefaultSettings();

}  // namespace quorrel
