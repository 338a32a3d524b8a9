#include "options/preview_controls.h"

#include <exception>

#include "base/messages.h"
#include "media/media_player.h"

namespace quorrel {

void PreviewLogic::stopIfPlaying() {
  if (player_.mode() == TMPModes::mpPlaying) player_.stop();
}

void PreviewLogic::cmdplayClick(const std::string& path) {
  try {
    player_.setFileName(path);
    player_.open();
    player_.play();
  } catch (const std::exception&) {
    // Reading the mode records its own result as the error code, so the
    // failed step's code and text are taken first.
    const auto code = player_.error();
    const auto text = player_.errorMessage();
    stopIfPlaying();
    boxes_.showMessage(MessageKind::Error, "ErrorCode: " + std::to_string(code) + "\r\n" + text);
    boxes_.showMessage(MessageKind::Error, kPreviewPlayErrorText);
  }
}

void PreviewLogic::cmdpauseClick() {
  try {
    if (player_.mode() == TMPModes::mpPaused) {
      player_.resume();
    } else if (player_.mode() == TMPModes::mpPlaying) {
      player_.pause();
    }
  } catch (const std::exception&) {
    stopIfPlaying();
    boxes_.showMessage(MessageKind::Error, kPreviewPauseErrorText);
  }
}

void PreviewLogic::cmdstopClick() {
  try {
    stopIfPlaying();
  } catch (const std::exception&) {
    stopIfPlaying();
    boxes_.showMessage(MessageKind::Error, kPreviewStopErrorText);
  }
}

void PreviewLogic::BitBtn4Click() { stopIfPlaying(); }

}  // namespace quorrel
