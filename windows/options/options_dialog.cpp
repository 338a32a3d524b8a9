#include "windows/options/options_dialog.h"

#include "options/options_actions.h"
#include "settings/data_folder.h"
#include "system/file_system.h"
#include "settings/settings_file.h"
#include "settings/settings_schema.h"
#include "windows/system/utf16.h"
#include "windows/options/option_services.h"
#include "windows/options/about_box.h"
#include "windows/options/video_sound_dialog.h"
#include "windows/options/preview_window.h"

namespace quorrel::win {

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

TForm2::TForm2(SettingsLocation settings, MessageBoxes& boxes, std::function<MediaBackend&()> mediaBackend,
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
  chooser_ = std::make_unique<WinFileChooser>(hwnd());
  opener_ = std::make_unique<ShellDesktopOpener>();
  progress_ = std::make_unique<WinTaskProgress>(hwnd());
  buildControls();
  list_.setView(this);
  FormCreate();
}

TForm2::~TForm2() { list_.setView(nullptr); }

void TForm2::show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  ::SetFocus(ListBox1);
}

void TForm2::FormCreate() {
  SetupDataFolder(settings_, boxes_);
  frmSound_ = std::make_unique<TFrmSound>(hwnd());
  list_.ResetSlots();
  SCROLLINFO range{};
  range.cbSize = sizeof range;
  range.fMask = SIF_RANGE;
  range.nMin = OptionsState::kMinimumVideoSide;
  range.nMax = ::GetSystemMetrics(SM_CXSCREEN);
  ::SetScrollInfo(ScrollBar1, SB_CTL, &range, FALSE);
  range.nMax = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetScrollInfo(ScrollBar2, SB_CTL, &range, FALSE);
  const std::optional<FileStatus> file = StatusOf(settings_.SettingsFileName);
  if (file && file->regular) LoadOptions();
  list_.FillFromSlots();
  list_.UpdateVideoLabels();
  const std::string& sound = list_.videoSlots()[0];
  if (IsEmptySlotForDialog(sound) || sound.empty()) {
    ::EnableWindow(radsndon, FALSE);
    ::EnableWindow(radsndof, FALSE);
  }
  chooser_->setVideoStartFolder(list_.LoadLastDir());
}

void TForm2::LoadOptions() {
  const OptionsState state = quorrel::LoadOptions(SettingsFile(settings_.SettingsFileName), list_.videoSlots());
  applyOptions(state);
  frmSound_->setChoices(state.startOn, state.endOn);
}

void TForm2::applyOptions(const OptionsState& state) {
  if (state.sound != SoundChoice::None) soundGroup_.select(state.sound == SoundChoice::On ? radsndon : radsndof);
  if (state.repeat != SoundChoice::None) repeatGroup_.select(state.repeat == SoundChoice::On ? radrepon : radrepoff);
  if (state.size) {
    switch (*state.size) {
      case VideoSizeMode::Custom: sizeGroup_.select(Radpicc); break;
      case VideoSizeMode::Small: sizeGroup_.select(radpics); break;
      case VideoSizeMode::Medium: sizeGroup_.select(radpicm); break;
      case VideoSizeMode::FullScreen: sizeGroup_.select(radpicl); break;
      case VideoSizeMode::Natural: sizeGroup_.select(Radpicdef); break;
    }
  }
  if (state.order) orderGroup_.select(*state.order == VideoOrder::Random ? RadioButton1 : RadioButton2);
  // The bars stop at the screen's size; a larger stored number stays in
  // its label, and so in the file at the next save.
  setSize(Lblheight, height_, state.height);
  setSize(Lblwidth, width_, state.width);
  setScrollPosition(ScrollBar1, state.width);
  setScrollPosition(ScrollBar2, state.height);
  soundFile_ = state.soundFile;
  SetText(edwav, soundFile_);
}

OptionsState TForm2::currentOptions() const {
  OptionsState state;
  state.startOn = frmSound_->startChoice();
  state.endOn = frmSound_->endChoice();
  state.sound = RadioGroup::checked(radsndon)   ? SoundChoice::On
                : RadioGroup::checked(radsndof) ? SoundChoice::Off
                                                : SoundChoice::None;
  state.repeat = RadioGroup::checked(radrepon)    ? SoundChoice::On
                 : RadioGroup::checked(radrepoff) ? SoundChoice::Off
                                                  : SoundChoice::None;
  if (RadioGroup::checked(Radpicdef)) {
    state.size = VideoSizeMode::Natural;
  } else if (RadioGroup::checked(Radpicc)) {
    state.size = VideoSizeMode::Custom;
  } else if (RadioGroup::checked(radpics)) {
    state.size = VideoSizeMode::Small;
  } else if (RadioGroup::checked(radpicm)) {
    state.size = VideoSizeMode::Medium;
  } else if (RadioGroup::checked(radpicl)) {
    state.size = VideoSizeMode::FullScreen;
  }
  if (RadioGroup::checked(RadioButton1)) {
    state.order = VideoOrder::Random;
  } else if (RadioGroup::checked(RadioButton2)) {
    state.order = VideoOrder::InSequence;
  }
  state.height = height_;
  state.width = width_;
  state.soundFile = soundFile_;
  return state;
}

void TForm2::setSize(HWND label, std::int32_t& value, std::int32_t number) {
  value = number;
  SetText(label, std::to_string(number));
}

void TForm2::scrolled(HWND bar, int request) {
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
  if (bar == ScrollBar1) ScrollBar1Scroll();
  if (bar == ScrollBar2) ScrollBar2Scroll();
}

void TForm2::ScrollBar1Scroll() { setSize(Lblwidth, width_, ::GetScrollPos(ScrollBar1, SB_CTL)); }

void TForm2::ScrollBar2Scroll() { setSize(Lblheight, height_, ::GetScrollPos(ScrollBar2, SB_CTL)); }

void TForm2::cmdwavClick() {
  const auto chosen = ChooseSoundFile(*chooser_, boxes_);
  if (!chosen) return;
  soundFile_ = *chosen;
  SetText(edwav, *chosen);
  ::EnableWindow(radsndon, TRUE);
  ::EnableWindow(radsndof, TRUE);
}

void TForm2::CmdexitClick() {
  SettingsFile file(settings_.SettingsFileName);
  // A refused write throws out of here: the dialog stays open.
  SaveOptions(file, currentOptions());
  // FormCloseQuery: the video sound dialog goes with the options dialog.
  frmSound_.reset();
  ::DestroyWindow(hwnd());
}

void TForm2::cmdhelpClick() {
  if (aboutBox_ != nullptr) aboutBox_->showModal(hwnd());
}

void TForm2::CmdSoundClick() {
  if (frmSound_) frmSound_->showModal();
}

void TForm2::button4Click() { ShowMoreSoftware(boxes_, *opener_, FindReadme(executableFolder_)); }

void TForm2::BitBtn1Click() { ShowSupport(boxes_, FindReadme(executableFolder_)); }

void TForm2::CmdPreviewClick() {
  const auto path = list_.CmdPreviewClick();
  if (!path) return;
  TFrmviddis preview(hwnd(), mediaBackend_(), boxes_, *path);
  preview.showModal();
}

void TForm2::ListBox1Click() {
  const LRESULT row = ::SendMessageW(ListBox1, LB_GETCURSEL, 0, 0);
  if (row >= 0) list_.ListBox1Click(static_cast<std::size_t>(row));
}

void TForm2::command(int id, HWND control, int notification) {
  switch (id) {
    case kButton2: list_.Button2Click(*chooser_); return;
    case kCmdAddEntire: (void)list_.CmdAddEntireClick(*chooser_, *progress_); return;
    case kCmdClearList: list_.CmdClearListClick(); return;
    case kButton3: list_.Button3Click(); return;
    case kCmdSound: CmdSoundClick(); return;
    case kCmdPreview: CmdPreviewClick(); return;
    case kCmdwav: cmdwavClick(); return;
    case kBitBtn1: BitBtn1Click(); return;
    case kButton4: button4Click(); return;
    case kCmdhelp: cmdhelpClick(); return;
    case IDOK: CmdexitClick(); return;
    case kListBox1:
      if (notification == LBN_SELCHANGE) ListBox1Click();
      if (notification == LBN_DBLCLK) list_.ListBox1DblClick(*opener_);
      return;
    default: break;
  }
  for (const RadioGroup* group : {&sizeGroup_, &orderGroup_, &soundGroup_, &repeatGroup_}) {
    if (group->contains(control)) group->select(control);
  }
}

LRESULT TForm2::handle(UINT message, WPARAM wParam, LPARAM lParam) {
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

void TForm2::entryAppended(const std::string& text) {
  ::SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void TForm2::entryRemoved(std::size_t index) { ::SendMessageW(ListBox1, LB_DELETESTRING, index, 0); }

void TForm2::entriesCleared() { ::SendMessageW(ListBox1, LB_RESETCONTENT, 0, 0); }

void TForm2::selectionChanged(std::optional<std::size_t> index) {
  ::SendMessageW(ListBox1, LB_SETCURSEL, index ? static_cast<WPARAM>(*index) : static_cast<WPARAM>(-1), 0);
}

void TForm2::labelsChanged(const std::string& count, const std::string& name) {
  SetText(Lblcount, count);
  SetText(LblVidName, name);
}

}  // namespace quorrel::win
