#include "windows/options/preview_window.h"

namespace quorrel::windows_desktop {

namespace {

enum : int { kPlayButton = 101, kPauseButton, kStopButton };

}  // namespace

PreviewWindow::PreviewWindow(HWND owner, MediaBackend& backend, MessageBoxes& boxes, const std::string& path)
    : owner_(owner), videoPath_(path) {
  // A sizeable window with the usual title-bar buttons, 561 x 431 outside.
  create(L"QuorrelPreview", kDialogBackground, 0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, "Preview Video", 0, 0, 561,
         431, owner);
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(L"MS Sans Serif", 8)), FALSE);
  CentreOnScreen(hwnd());
  // The panel in the dialogs' colour, as the video's own size may not
  // fill it.
  videoPanel = Panel(hwnd(), L"QuorrelPreviewPanel", kDialogBackground, 16, 8, 433, 297);
  const HFONT arial = ArialFont();
  // Created in the focus sequence Play, Stop, Pause, Return.
  drawnButton("Play", 456, 95, 75, 25, kPlayButton, arial, ButtonLook{RGB(0, 0, 0), ButtonGlyph::Play});
  drawnButton("Stop", 456, 175, 75, 25, kStopButton, arial, ButtonLook{RGB(0, 0, 0), ButtonGlyph::Stop});
  drawnButton("Pause", 456, 135, 75, 25, kPauseButton, arial, ButtonLook{RGB(0, 0, 0), ButtonGlyph::Pause});
  drawnButton("Return", 464, 359, 75, 25, IDOK, arial, ButtonLook{RGB(0, 0, 0), ButtonGlyph::Check, true});
  // One line, cut at the right edge; Play uses the whole path.
  Control(hwnd(), L"STATIC", path, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 5, 319, 529, 34, 0, arial);
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
      switch (LOWORD(wParam)) {
        case kPlayButton:
          play();
          break;
        case kPauseButton:
          pause();
          break;
        case kStopButton:
          stop();
          break;
        case IDOK:
          returnToOptions();
          break;
        default:
          break;
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kDialogBackground,
                            RGB(0, 0, 0));
    case WM_CLOSE:
      // The title bar's close button skips the stop; closing the file when
      // the window goes ends the playback all the same.
      player_->close();
      ::ShowWindow(hwnd(), SW_HIDE);
      return 0;
    default:
      break;
  }
  return Window::handle(message, wParam, lParam);
}

}  // namespace quorrel::windows_desktop
