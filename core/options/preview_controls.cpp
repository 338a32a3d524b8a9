#include "options/preview_controls.h"

#include <exception>

#include "base/messages.h"
#include "media/media_player.h"

namespace quorrel {

void PreviewControls::stopIfPlaying() {
  if (player_.mode() == PlayerMode::Playing) player_.stop();
}

void PreviewControls::play(const std::string& path) {
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

void PreviewControls::pause() {
  try {
    if (player_.mode() == PlayerMode::Paused) {
      player_.resume();
    } else if (player_.mode() == PlayerMode::Playing) {
      player_.pause();
    }
  } catch (const std::exception&) {
    stopIfPlaying();
    boxes_.showMessage(MessageKind::Error, kPreviewPauseErrorText);
  }
}

void PreviewControls::stop() {
  try {
    stopIfPlaying();
  } catch (const std::exception&) {
    stopIfPlaying();
    boxes_.showMessage(MessageKind::Error, kPreviewStopErrorText);
  }
}

void PreviewControls::returnToOptions() { stopIfPlaying(); }

}  // namespace quorrel
