#pragma once

#include <optional>
#include <string>

namespace quorrel {

class MessageBoxes;
class FileChooser;
class DesktopOpener;

// "Add a Sound File ": the chosen path for the sound box, or nullopt when
// the chooser was cancelled, gave empty text, or gave a name the settings
// file cannot hold (after a warning).
[[nodiscard]] std::optional<std::string> ChooseSoundFile(FileChooser& chooser, MessageBoxes& boxes);

// Quorrel's documentation, installed with it: the README (README.md, or
// README.txt as Windows' setup names it) beside the executable, in the
// source tree above a build folder, or under share/doc/quorrel. Empty when
// none is found.
[[nodiscard]] std::string FindReadme(const std::string& executableFolder);

// "More Software": tells the user the documentation will open, then hands
// it to the desktop; says where to find it when that fails.
void ShowMoreSoftware(MessageBoxes& boxes, DesktopOpener& opener, const std::string& readme);

// "Support": where questions are answered.
void ShowSupport(MessageBoxes& boxes, const std::string& readme);

}  // namespace quorrel
