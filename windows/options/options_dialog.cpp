#include "windows/options/options_dialog.h"

#include "options/options_actions.h"
#include "settings/data_folder.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "system/file_system.h"
#include "windows/options/about_box.h"
#include "windows/options/option_services.h"
#include "windows/options/preview_window.h"
#include "windows/options/video_sound_dialog.h"
#include "windows/system/utf16.h"

namespace quorrel::windows_desktop {

namespace {

// A fixed frame without title-bar buttons: "OK" is the way out.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;

void setScrollPosition(HWND bar, int position) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  info.nPos = position;
  ::SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

}  // namespace

OptionsDialog::OptionsDialog(SettingsLocation settings, MessageBoxes& boxes, std::function<MediaBackend&()> mediaBackend,
               std::string executableFolder)
    : settings_(std::move(settings)),
      boxes_(boxes),
      mediaBackend_(std::move(mediaBackend)),
      executableFolder_(std::move(executableFolder)),
      list_(settings_.SettingsFileName, boxes) {
  const SIZE outer = OuterSize(kStyle, 0, 642, 477);
  create(L"TForm2", kDialogBackground, 0, kStyle, "Quorrel Options", 0, 0, outer.cx, outer.cy, nullptr);
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont(L"MS Sans Serif", 8, true)), FALSE);
  CentreOnScreen(hwnd());
  chooser_ = std::make_unique<FileDialogs>(hwnd());
  opener_ = std::make_unique<DesktopLauncher>();
  progress_ = std::make_unique<ProgressDialog>(hwnd());
  buildControls();
  list_.setView(this);
  fillFromSettings();
}

OptionsDialog::~OptionsDialog() { list_.setView(nullptr); }

void OptionsDialog::show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  ::SetFocus(videoListBox);
}

void OptionsDialog::fillFromSettings() {
  SetupDataFolder(settings_, boxes_);
  videoSoundDialog_ = std::make_unique<VideoSoundDialog>(hwnd());
  list_.resetSlots();
  SCROLLINFO range{};
  range.cbSize = sizeof range;
  range.fMask = SIF_RANGE;
  range.nMin = OptionsState::kMinimumVideoSide;
  range.nMax = ::GetSystemMetrics(SM_CXSCREEN);
  ::SetScrollInfo(widthBar, SB_CTL, &range, FALSE);
  range.nMax = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetScrollInfo(heightBar, SB_CTL, &range, FALSE);
  const std::optional<FileStatus> file = StatusOf(settings_.SettingsFileName);
  if (file && file->regular) loadOptions();
  list_.fillFromSlots();
  list_.updateVideoLabels();
  const std::string& sound = list_.videoSlots()[0];
  if (IsEmptySlotForDialog(sound) || sound.empty()) {
    ::EnableWindow(soundOnButton, FALSE);
    ::EnableWindow(soundOffButton, FALSE);
  }
  chooser_->setVideoStartFolder(list_.loadLastDir());
}

void OptionsDialog::loadOptions() {
  const OptionsState state = quorrel::LoadOptions(SettingsFile(settings_.SettingsFileName), list_.videoSlots());
  applyOptions(state);
  videoSoundDialog_->setChoices(state.startOn, state.endOn);
}

void OptionsDialog::applyOptions(const OptionsState& state) {
  if (state.sound != SoundChoice::None) soundButtons_.select(state.sound == SoundChoice::On ? soundOnButton : soundOffButton);
  if (state.repeat != SoundChoice::None) repeatButtons_.select(state.repeat == SoundChoice::On ? repeatOnButton : repeatOffButton);
  if (state.size) {
    switch (*state.size) {
      case VideoSizeMode::Custom: sizeButtons_.select(customSizeButton); break;
      case VideoSizeMode::Small: sizeButtons_.select(smallSizeButton); break;
      case VideoSizeMode::Medium: sizeButtons_.select(mediumSizeButton); break;
      case VideoSizeMode::FullScreen: sizeButtons_.select(fullScreenSizeButton); break;
      case VideoSizeMode::Natural: sizeButtons_.select(naturalSizeButton); break;
    }
  }
  if (state.order) orderButtons_.select(*state.order == VideoOrder::Random ? randomButton : inSequenceButton);
  // The bars stop at the screen's size; a larger stored number stays in
  // its label, and so in the file at the next save.
  setSize(heightLabel, height_, state.height);
  setSize(widthLabel, width_, state.width);
  setScrollPosition(widthBar, state.width);
  setScrollPosition(heightBar, state.height);
  soundFile_ = state.soundFile;
  SetText(soundFileBox, soundFile_);
}

OptionsState OptionsDialog::currentOptions() const {
  OptionsState state;
  state.startOn = videoSoundDialog_->startChoice();
  state.endOn = videoSoundDialog_->endChoice();
  state.sound = RadioGroup::checked(soundOnButton)   ? SoundChoice::On
                : RadioGroup::checked(soundOffButton) ? SoundChoice::Off
                                                : SoundChoice::None;
  state.repeat = RadioGroup::checked(repeatOnButton)    ? SoundChoice::On
                 : RadioGroup::checked(repeatOffButton) ? SoundChoice::Off
                                                  : SoundChoice::None;
  if (RadioGroup::checked(naturalSizeButton)) {
    state.size = VideoSizeMode::Natural;
  } else if (RadioGroup::checked(customSizeButton)) {
    state.size = VideoSizeMode::Custom;
  } else if (RadioGroup::checked(smallSizeButton)) {
    state.size = VideoSizeMode::Small;
  } else if (RadioGroup::checked(mediumSizeButton)) {
    state.size = VideoSizeMode::Medium;
  } else if (RadioGroup::checked(fullScreenSizeButton)) {
    state.size = VideoSizeMode::FullScreen;
  }
  if (RadioGroup::checked(randomButton)) {
    state.order = VideoOrder::Random;
  } else if (RadioGroup::checked(inSequenceButton)) {
    state.order = VideoOrder::InSequence;
  }
  state.height = height_;
  state.width = width_;
  state.soundFile = soundFile_;
  return state;
}

void OptionsDialog::setSize(HWND label, std::int32_t& value, std::int32_t number) {
  value = number;
  SetText(label, std::to_string(number));
}

void OptionsDialog::scrolled(HWND bar, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(bar, SB_CTL, &info);
  int position = info.nPos;
  switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT: --position; break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT: ++position; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_LEFT: position = info.nMin; break;
    case SB_RIGHT: position = info.nMax; break;
    default: break;
  }
  position = std::max(info.nMin, std::min(info.nMax, position));
  setScrollPosition(bar, position);
  if (bar == widthBar) widthBarMoved();
  if (bar == heightBar) heightBarMoved();
}

void OptionsDialog::widthBarMoved() { setSize(widthLabel, width_, ::GetScrollPos(widthBar, SB_CTL)); }

void OptionsDialog::heightBarMoved() { setSize(heightLabel, height_, ::GetScrollPos(heightBar, SB_CTL)); }

void OptionsDialog::chooseSoundFile() {
  const auto chosen = ChooseSoundFile(*chooser_, boxes_);
  if (!chosen) return;
  soundFile_ = *chosen;
  SetText(soundFileBox, *chosen);
  ::EnableWindow(soundOnButton, TRUE);
  ::EnableWindow(soundOffButton, TRUE);
}

void OptionsDialog::saveAndClose() {
  SettingsFile file(settings_.SettingsFileName);
  // A refused write throws out of here: the dialog stays open.
  SaveOptions(file, currentOptions());
  // The video sound dialog goes with the options dialog.
  videoSoundDialog_.reset();
  ::DestroyWindow(hwnd());
}

void OptionsDialog::showAboutBox() {
  if (aboutBox_ != nullptr) aboutBox_->showModal(hwnd());
}

void OptionsDialog::showVideoSoundDialog() {
  if (videoSoundDialog_) videoSoundDialog_->showModal();
}

void OptionsDialog::showMoreSoftware() { ShowMoreSoftware(boxes_, *opener_, FindReadme(executableFolder_)); }

void OptionsDialog::showSupport() { ShowSupport(boxes_, FindReadme(executableFolder_)); }

void OptionsDialog::previewVideo() {
  const auto path = list_.videoToPreview();
  if (!path) return;
  PreviewWindow preview(hwnd(), mediaBackend_(), boxes_, *path);
  preview.showModal();
}

void OptionsDialog::selectVideo() {
  const LRESULT row = ::SendMessageW(videoListBox, LB_GETCURSEL, 0, 0);
  if (row >= 0) list_.selectVideo(static_cast<std::size_t>(row));
}

void OptionsDialog::command(int id, HWND control, int notification) {
  switch (id) {
    case kAddVideoButton: list_.addVideo(*chooser_); return;
    case kAddFolderButton: (void)list_.addEntireFolder(*chooser_, *progress_); return;
    case kClearListButton: list_.clearList(); return;
    case kRemoveVideoButton: list_.removeVideo(); return;
    case kVideoSoundButton: showVideoSoundDialog(); return;
    case kPreviewButton: previewVideo(); return;
    case kChooseSoundButton: chooseSoundFile(); return;
    case kSupportButton: showSupport(); return;
    case kMoreSoftwareButton: showMoreSoftware(); return;
    case kAboutButton: showAboutBox(); return;
    case IDOK: saveAndClose(); return;
    case kVideoListBox:
      if (notification == LBN_SELCHANGE) selectVideo();
      if (notification == LBN_DBLCLK) list_.openSelectedVideo(*opener_);
      return;
    default: break;
  }
  for (const RadioGroup* group : {&sizeButtons_, &orderButtons_, &soundButtons_, &repeatButtons_}) {
    if (group->contains(control)) group->select(control);
  }
}

LRESULT OptionsDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      scrolled(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      return controlColours(reinterpret_cast<HDC>(wParam), control, kDialogBackground,
                            navy_.contains(control) ? kNavy : RGB(0, 0, 0));
    }
    case WM_CTLCOLORLISTBOX:
      return controlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), kListBackground,
                            RGB(0, 0, 0));
    case WM_CLOSE:
      // Only "OK" (or Enter) ends the dialog.
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default: break;
  }
  return Window::handle(message, wParam, lParam);
}

void OptionsDialog::entryAppended(const std::string& text) {
  ::SendMessageW(videoListBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void OptionsDialog::entryRemoved(std::size_t index) { ::SendMessageW(videoListBox, LB_DELETESTRING, index, 0); }

void OptionsDialog::entriesCleared() { ::SendMessageW(videoListBox, LB_RESETCONTENT, 0, 0); }

void OptionsDialog::selectionChanged(std::optional<std::size_t> index) {
  ::SendMessageW(videoListBox, LB_SETCURSEL, index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
}

void OptionsDialog::labelsChanged(const std::string& count, const std::string& name) {
  SetText(videoCountLabel, count);
  SetText(videoNameLabel, name);
}

}  // namespace quorrel::windows_desktop
