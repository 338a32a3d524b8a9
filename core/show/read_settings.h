#pragma once

#include <string>

#include "show/show_state.h"

namespace quorrel {

class SettingsFile;

// Whether `path` names an existing file that is not a folder.
[[nodiscard]] bool IsExistingFile(const std::string& path);

// Fills `state` from the settings file, leaving the values that the file
// does not choose as they were. When a listed video no longer exists the
// play list is emptied and `messageText` receives the message screen's text
// for it; otherwise `messageText` is left alone.
void ReadSettings(const SettingsFile& settings, ShowState& state, std::string& messageText);

}  // namespace quorrel
