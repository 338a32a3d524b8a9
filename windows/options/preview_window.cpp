#include "windows/options/preview_window.h"

namespace quorrel::windows_desktop {

PreviewWindow::PreviewWindow(HWND owner, MediaBackend& backend, MessageBoxes& boxes, const std::string& path)
    : owner_(owner), videoPath_(path) {
  // A sizeable window with the usual title-bar buttons.
  createLaidOut(L"QuorrelPreview", 0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, PreviewWindowLayout(), owner);
  // The panel in the dialogs' colour, as the video's own size may not
  // fill it; the label shows one line, cut at the right edge, and Play
  // uses the whole path.
  videoPanel = control(ControlId::PreviewPanel);
  SetText(control(ControlId::PreviewPathLabel), path);
  player_ = std::make_unique<MediaPlayer>(backend, reinterpret_cast<NativeWindow>(videoPanel), true);
  controls_ = std::make_unique<PreviewControls>(*player_, boxes);
}

// The player goes before the panel it draws into.
PreviewWindow::~PreviewWindow() {
  controls_.reset();
  player_.reset();
}

void PreviewWindow::showModal() { RunModal(hwnd(), owner_); }

void PreviewWindow::play() { controls_->play(videoPath_); }
void PreviewWindow::pause() { controls_->pause(); }
void PreviewWindow::stop() { controls_->stop(); }

void PreviewWindow::returnToOptions() {
  controls_->returnToOptions();
  ::ShowWindow(hwnd(), SW_HIDE);
}

LRESULT PreviewWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (commandSource(wParam)) {
        case ControlId::PlayButton:
          play();
          break;
        case ControlId::PauseButton:
          pause();
          break;
        case ControlId::StopButton:
          stop();
          break;
        case ControlId::PreviewReturnButton:
          returnToOptions();
          break;
        default:
          break;
      }
      return 0;
    case WM_CLOSE:
      // The title bar's close button skips the stop; closing the file when
      // the window goes ends the playback all the same.
      player_->close();
      ::ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default:
      break;
  }
  return LaidOutWindow::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
