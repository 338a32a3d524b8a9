#include "windows/options/options_dialog.h"

#include <algorithm>

#include "windows/media/video_formats.h"
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

OptionsDialog::OptionsDialog(SettingsLocation settings, MessageBoxes& boxes,
                             std::function<MediaBackend&()> mediaBackend, std::string executableFolder, HWND owner)
    : owner_(owner), boxes_(boxes), mediaBackend_(std::move(mediaBackend)) {
  createLaidOut(kOptionsDialogClass, 0, kStyle, OptionsDialogLayout(), owner_);
  endMessageLoopWhenDestroyed();
  chooser_ = std::make_unique<FileDialogs>(hwnd());
  opener_ = std::make_unique<DesktopLauncher>();
  progress_ = std::make_unique<ProgressDialog>(hwnd());
  buildControls();
  controller_ =
      std::make_unique<OptionsController>(OptionsServices{std::move(settings), boxes_, *chooser_, *opener_, *progress_,
                                                          std::move(executableFolder), kPlayableVideoExtensions},
                                          static_cast<OptionsView&>(*this));
  videoSoundDialog_ = std::make_unique<VideoSoundDialog>(hwnd(), *controller_);
  controller_->load(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

OptionsDialog::~OptionsDialog() {
  if (controller_) controller_->videoList().setView(nullptr);
}

void OptionsDialog::buildControls() {
  using enum ControlId;
  videoListBox = control(VideoList);
  videoCountLabel = control(VideoCountLabel);
  videoNameLabel = control(VideoNameLabel);
  naturalSizeButton = control(NaturalSizeButton);
  fullScreenSizeButton = control(FullScreenSizeButton);
  mediumSizeButton = control(MediumSizeButton);
  smallSizeButton = control(SmallSizeButton);
  customSizeButton = control(CustomSizeButton);
  widthBar = control(WidthBar);
  heightBar = control(HeightBar);
  everyMonitorBox = control(EveryMonitorBox);
  inSequenceButton = control(InSequenceButton);
  randomButton = control(RandomButton);
  soundFileBox = control(SoundFileBox);
  soundOnButton = control(SoundOnButton);
  soundOffButton = control(SoundOffButton);
  repeatOnButton = control(RepeatOnButton);
  repeatOffButton = control(RepeatOffButton);
  // The size bars run from the smallest side a video may have, a pixel at a
  // time for the arrows and for page clicks alike.
  for (HWND bar : {widthBar, heightBar}) {
    SCROLLINFO info{sizeof(SCROLLINFO),
                    SIF_RANGE | SIF_POS | SIF_PAGE,
                    OptionsState::kMinimumVideoSide,
                    OptionsState::kMinimumVideoSide,
                    0,
                    OptionsState::kMinimumVideoSide,
                    0};
    ::SetScrollInfo(bar, SB_CTL, &info, FALSE);
  }
  sizeButtons_ =
      RadioGroup{naturalSizeButton, fullScreenSizeButton, mediumSizeButton, smallSizeButton, customSizeButton};
  orderButtons_ = RadioGroup{inSequenceButton, randomButton};
  soundButtons_ = RadioGroup{soundOnButton, soundOffButton};
  repeatButtons_ = RadioGroup{repeatOnButton, repeatOffButton};
}

void OptionsDialog::show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  ::SetFocus(videoListBox);
}

void OptionsDialog::setSizeBarRanges(std::int32_t widthMaximum, std::int32_t heightMaximum) {
  SCROLLINFO range{};
  range.cbSize = sizeof range;
  range.fMask = SIF_RANGE;
  range.nMin = OptionsState::kMinimumVideoSide;
  range.nMax = widthMaximum;
  ::SetScrollInfo(widthBar, SB_CTL, &range, FALSE);
  range.nMax = heightMaximum;
  ::SetScrollInfo(heightBar, SB_CTL, &range, FALSE);
}

void OptionsDialog::showOptions(const OptionsState& options) {
  soundButtons_.select(options.sound == OnOffChoice::On    ? soundOnButton
                       : options.sound == OnOffChoice::Off ? soundOffButton
                                                           : nullptr);
  repeatButtons_.select(options.repeat == OnOffChoice::On    ? repeatOnButton
                        : options.repeat == OnOffChoice::Off ? repeatOffButton
                                                             : nullptr);
  HWND size = nullptr;
  if (options.size) {
    switch (*options.size) {
      case VideoSizeMode::Custom:
        size = customSizeButton;
        break;
      case VideoSizeMode::Small:
        size = smallSizeButton;
        break;
      case VideoSizeMode::Medium:
        size = mediumSizeButton;
        break;
      case VideoSizeMode::FullScreen:
        size = fullScreenSizeButton;
        break;
      case VideoSizeMode::Natural:
        size = naturalSizeButton;
        break;
    }
  }
  sizeButtons_.select(size);
  orderButtons_.select(!options.order                         ? nullptr
                       : *options.order == VideoOrder::Random ? randomButton
                                                              : inSequenceButton);
  // Setting the check sends no notification, so the load is no choice.
  ::SendMessageW(everyMonitorBox, BM_SETCHECK, options.everyMonitor ? BST_CHECKED : BST_UNCHECKED, 0);
  // The bars stop at the screen's size; a larger stored number stays in
  // its label, and so in the file at the next save.
  setScrollPosition(widthBar, options.width);
  setScrollPosition(heightBar, options.height);
  showSizeNumbers(options.width, options.height);
  showSoundFile(options.soundFile);
  showMuteChoices(options.startOn, options.endOn);
}

void OptionsDialog::showSizeNumbers(std::int32_t width, std::int32_t height) {
  setFittedText(ControlId::WidthLabel, std::to_string(width));
  setFittedText(ControlId::HeightLabel, std::to_string(height));
}

void OptionsDialog::showSoundFile(const std::string& path) { SetText(soundFileBox, path); }

void OptionsDialog::setSoundChoiceEnabled(bool enabled) {
  ::EnableWindow(soundOnButton, enabled ? TRUE : FALSE);
  ::EnableWindow(soundOffButton, enabled ? TRUE : FALSE);
}

void OptionsDialog::showMuteChoices(MuteChoice start, MuteChoice end) {
  if (videoSoundDialog_) videoSoundDialog_->showChoices(start, end);
}

void OptionsDialog::showPreview(const std::string& path) {
  PreviewWindow preview(hwnd(), mediaBackend_(), boxes_, path);
  preview.showModal();
}

void OptionsDialog::closeDialog() {
  // However the dialog closes, the video sound dialog goes with it; no
  // option value is written but by "OK".
  videoSoundDialog_.reset();
  // Gone from the screen at once: destroying a window hides it first, and
  // under Wine without a window manager that waits two seconds for a
  // window manager's answer, with the dialog still shown meanwhile.
  ::SetWindowRgn(hwnd(), ::CreateRectRgn(0, 0, 0, 0), TRUE);
  // The owner is enabled again before its dialog goes, so that Windows
  // hands the activation back to it rather than to some other program.
  if (owner_ != nullptr) {
    ::EnableWindow(owner_, TRUE);
    ::SetForegroundWindow(owner_);
  }
  ::DestroyWindow(hwnd());
}

void OptionsDialog::scrolled(HWND bar, int request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  ::GetScrollInfo(bar, SB_CTL, &info);
  int position = info.nPos;
  switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
      --position;
      break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
      ++position;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      position = info.nTrackPos;
      break;
    case SB_LEFT:
      position = info.nMin;
      break;
    case SB_RIGHT:
      position = info.nMax;
      break;
    default:
      break;
  }
  position = std::max(info.nMin, std::min(info.nMax, position));
  setScrollPosition(bar, position);
  if (bar == widthBar) controller_->widthBarMoved(position);
  if (bar == heightBar) controller_->heightBarMoved(position);
}

void OptionsDialog::radioClicked(HWND button) {
  if (sizeButtons_.contains(button)) {
    sizeButtons_.select(button);
    controller_->chooseSize(button == naturalSizeButton      ? VideoSizeMode::Natural
                            : button == fullScreenSizeButton ? VideoSizeMode::FullScreen
                            : button == mediumSizeButton     ? VideoSizeMode::Medium
                            : button == smallSizeButton      ? VideoSizeMode::Small
                                                             : VideoSizeMode::Custom);
  } else if (orderButtons_.contains(button)) {
    orderButtons_.select(button);
    controller_->chooseOrder(button == randomButton ? VideoOrder::Random : VideoOrder::InSequence);
  } else if (soundButtons_.contains(button)) {
    soundButtons_.select(button);
    controller_->chooseSound(button == soundOnButton);
  } else if (repeatButtons_.contains(button)) {
    repeatButtons_.select(button);
    controller_->chooseRepeat(button == repeatOnButton);
  }
}

void OptionsDialog::command(ControlId id, HWND control, int notification) {
  switch (id) {
    case ControlId::AddVideoButton:
      controller_->addVideo();
      return;
    case ControlId::AddFolderButton:
      controller_->addEntireFolder();
      return;
    case ControlId::ClearListButton:
      controller_->clearList();
      return;
    case ControlId::RemoveVideoButton:
      controller_->removeVideo();
      return;
    case ControlId::VideoSoundButton:
      if (videoSoundDialog_) videoSoundDialog_->showModal();
      return;
    case ControlId::PreviewButton:
      controller_->previewVideo();
      return;
    case ControlId::ChooseSoundButton:
      controller_->chooseSoundFile();
      return;
    case ControlId::SupportButton:
      controller_->showSupport();
      return;
    case ControlId::MoreSoftwareButton:
      controller_->showMoreSoftware();
      return;
    case ControlId::AboutButton:
      if (aboutBox_ != nullptr) aboutBox_->showModal(hwnd());
      return;
    case ControlId::OkButton:
      controller_->saveAndClose();
      return;
    case ControlId::EveryMonitorBox:
      if (notification == BN_CLICKED) {
        controller_->chooseEveryMonitor(::SendMessageW(everyMonitorBox, BM_GETCHECK, 0, 0) == BST_CHECKED);
      }
      return;
    case ControlId::VideoList:
      if (notification == LBN_SELCHANGE) {
        const LRESULT row = ::SendMessageW(videoListBox, LB_GETCURSEL, 0, 0);
        if (row >= 0) controller_->selectVideo(static_cast<std::size_t>(row));
      }
      if (notification == LBN_DBLCLK) controller_->openSelectedVideo();
      return;
    default:
      break;
  }
  radioClicked(control);
}

LRESULT OptionsDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      command(commandSource(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      scrolled(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      // Closed from the title bar, Alt+F4 or the system: nothing is saved,
      // and the list's edits are in the file already.
      closeDialog();
      return 0;
    default:
      break;
  }
  return LaidOutWindow::handle(message, wParam, lParam);
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
