#include "options/options_actions.h"

#include <array>

#include "base/messages.h"
#include "options/option_services.h"
#include "options/options_model.h"
#include "options/video_list.h"
#include "settings/profile.h"
#include "system/file_system.h"
#include "system/paths.h"

namespace quorrel {

namespace {

std::string readmeName(const std::string& readme) {
  return readme.empty() ? std::string("the README file that comes with Quorrel") : readme;
}

}  // namespace

std::optional<std::string> ChooseSoundFile(FileChooser& chooser, MessageBoxes& boxes) {
  auto chosen = chooser.chooseSoundFile();
  if (!chosen || chosen->empty()) return std::nullopt;
  // Refused now rather than at "OK", where it would stop the save halfway.
  if (const char* warning = UnstorablePathText(*chosen)) {
    boxes.showMessage(MessageKind::Warning, warning);
    return std::nullopt;
  }
  return chosen;
}

std::string FindReadme(const std::string& executableFolder) {
  const std::string parent = FolderOf(executableFolder);
  const std::string separator(1, kPathSeparator);
  // README.txt is the name Windows' setup gives it, for Notepad to open.
  const std::array<std::string, 4> candidates = {
      JoinPath(executableFolder, "README.md"), JoinPath(executableFolder, "README.txt"), JoinPath(parent, "README.md"),
      JoinPath(parent, "share" + separator + "doc" + separator + "quorrel" + separator + "README.md")};
  for (const auto& candidate : candidates) {
    const std::optional<FileStatus> status = StatusOf(candidate);
    if (status && status->regular) return candidate;
  }
  return {};
}

void ShowMoreSoftware(MessageBoxes& boxes, DesktopOpener& opener, const std::string& readme) {
  boxes.showMessage(MessageKind::Plain,
                    "We will now display Quorrel's documentation, which tells where to find Quorrel and more about "
                    "it. Click OK to view it.");
  if (readme.empty() || !opener.openFile(readme)) {
    boxes.showMessage(MessageKind::Plain,
                      "The documentation viewer did not open. You can read Quorrel's documentation by opening " +
                          readmeName(readme) + " in a text viewer or web browser.");
  }
}

void ShowSupport(MessageBoxes& boxes, const std::string& readme) {
  boxes.showMessage(MessageKind::Plain,
                    "Answers to questions about Quorrel, its set-up and its frequently asked "
                    "questions are in its documentation: " +
                        readmeName(readme) + ".");
}

}  // namespace quorrel
