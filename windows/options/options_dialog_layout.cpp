#include "options/dialog_texts.h"
#include "windows/options/options_dialog.h"

// The options dialog's controls, each at its place and size, with its
// caption, tooltip, font and colour. Controls inside a group box are children of the
// dialog placed from the box's corner, so that their notices reach the
// dialog.

namespace quorrel::windows_desktop {

namespace {

struct Origin {
  int left = 0;
  int top = 0;
};

HWND group(HWND parent, const char* caption, Origin at, int width, int height) {
  return Control(parent, L"BUTTON", caption, BS_GROUPBOX, at.left, at.top, width, height, 0, ArialFont(true));
}

HWND button(HWND parent, const char* caption, Origin in, int left, int top, int width, int height, int id) {
  return Control(parent, L"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP, in.left + left, in.top + top, width, height,
                 id, ArialFont());
}

HWND radio(HWND parent, const char* caption, Origin in, int left, int top, int width) {
  return Control(parent, L"BUTTON", caption, BS_RADIOBUTTON | WS_TABSTOP, in.left + left, in.top + top, width, 17, 0,
                 ArialFont());
}

HWND label(HWND parent, const char* text, Origin in, int left, int top, int width, int height) {
  return Control(parent, L"STATIC", text, SS_LEFT | SS_NOPREFIX, in.left + left, in.top + top, width, height, 0,
                 ArialFont());
}

HWND sizeBar(HWND parent, Origin in, int left, int top) {
  HWND bar = Control(parent, L"SCROLLBAR", "", SBS_HORZ | WS_TABSTOP, in.left + left, in.top + top, 74, 13, 0, nullptr);
  SCROLLINFO info{sizeof(SCROLLINFO),
                  SIF_RANGE | SIF_POS | SIF_PAGE,
                  OptionsState::kMinimumVideoSide,
                  OptionsState::kMinimumVideoSide,
                  0,
                  OptionsState::kMinimumVideoSide,
                  0};
  ::SetScrollInfo(bar, SB_CTL, &info, FALSE);
  return bar;
}

}  // namespace

void OptionsDialog::buildControls() {
  const Origin window;
  label(hwnd(), kOptionsIntroText, window, 5, 5, 631, 28);

  videoListBox =
      Control(hwnd(), L"LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 1, 37,
              640, 100, kVideoListBox, ArialFont(true));
  ::SendMessageW(videoListBox, LB_SETITEMHEIGHT, 0, 14);

  const Origin videoFilesGroup{1, 140};
  group(hwnd(), "Add or Remove Video Files", videoFilesGroup, 640, 64);
  addTooltip(button(hwnd(), "Add Video", videoFilesGroup, 6, 18, 106, 21, kAddVideoButton), "Add a video to your list");
  addTooltip(button(hwnd(), "Add Entire Folder", videoFilesGroup, 115, 18, 106, 21, kAddFolderButton),
             "Add an entire folder of videos at once");
  addTooltip(button(hwnd(), "Clear Entire List", videoFilesGroup, 225, 18, 106, 21, kClearListButton),
             "Empty your list of videos");
  addTooltip(button(hwnd(), "Remove Video", videoFilesGroup, 335, 18, 106, 21, kRemoveVideoButton),
             "Remove the highlighted video from your list");
  addTooltip(button(hwnd(), "Video Sound", videoFilesGroup, 445, 18, 106, 20, kVideoSoundButton),
             "Turn mute on/off by video");
  addTooltip(button(hwnd(), "Preview", videoFilesGroup, 560, 15, 75, 24, kPreviewButton),
             "Preview the highlighted video");
  videoCountLabel = label(hwnd(), "", videoFilesGroup, 14, 46, 209, 13);
  videoNameLabel = label(hwnd(), "", videoFilesGroup, 246, 46, 385, 13);

  const Origin sizeGroup{2, 210};
  group(hwnd(), "Video Display Options", sizeGroup, 350, 202);
  naturalSizeButton = radio(hwnd(), "Default Video Size (Clearest)", sizeGroup, 10, 16, 193);
  fullScreenSizeButton = radio(hwnd(), "Large (Full Screen)", sizeGroup, 204, 16, 127);
  mediumSizeButton = radio(hwnd(), "Medium", sizeGroup, 204, 33, 113);
  smallSizeButton = radio(hwnd(), "Small", sizeGroup, 204, 49, 115);
  customSizeButton = radio(hwnd(), "Customize Video Window Below", sizeGroup, 10, 83, 227);
  const Origin customSizeGroup{sizeGroup.left + 10, sizeGroup.top + 109};
  group(hwnd(), "Customize Video Display", customSizeGroup, 335, 87);
  navy_.insert(label(hwnd(), "Video Width", customSizeGroup, 10, 24, 90, 15));
  navy_.insert(label(hwnd(), "Video Height", customSizeGroup, 108, 24, 90, 15));
  widthBar = sizeBar(hwnd(), customSizeGroup, 10, 43);
  heightBar = sizeBar(hwnd(), customSizeGroup, 108, 43);
  widthLabel = label(hwnd(), "", customSizeGroup, 10, 65, 60, 15);
  heightLabel = label(hwnd(), "", customSizeGroup, 106, 65, 60, 15);
  navy_.insert(widthLabel);
  navy_.insert(heightLabel);

  const Origin orderGroup{379, 210};
  group(hwnd(), "Video Plays:", orderGroup, 261, 44);
  inSequenceButton = radio(hwnd(), "In Sequence", orderGroup, 26, 19, 89);
  randomButton = radio(hwnd(), "Random", orderGroup, 144, 19, 78);

  const Origin soundFileGroup{379, 258};
  group(hwnd(), "Wav or Midi Sound?", soundFileGroup, 261, 77);
  soundFileBox = Control(hwnd(), L"EDIT", "", ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_DISABLED,
                         soundFileGroup.left + 3, soundFileGroup.top + 15, 253, 22, 0, ArialFont());
  drawnButton("Add a Sound File ", soundFileGroup.left + 21, soundFileGroup.top + 47, 102, 19, kChooseSoundButton,
              ArialFont(), ButtonLook{kNavy});
  soundOnButton = radio(hwnd(), "Sound ON", soundFileGroup, 142, 40, 113);
  soundOffButton = radio(hwnd(), "Sound OFF", soundFileGroup, 142, 57, 113);

  const Origin repeatGroup{379, 340};
  group(hwnd(), "Repeat Sound ", repeatGroup, 123, 72);
  repeatOnButton = radio(hwnd(), "Repeat On", repeatGroup, 18, 22, 84);
  repeatOffButton = radio(hwnd(), "Repeat Off", repeatGroup, 18, 45, 82);

  button(hwnd(), "Support", window, 537, 379, 102, 21, kSupportButton);
  addTooltip(button(hwnd(), "More Software", window, 537, 404, 102, 21, kMoreSoftwareButton),
             "More software downloads");
  addTooltip(button(hwnd(), "About", window, 537, 430, 102, 21, kAboutButton), "Version Information");
  // The default button: Enter presses it, as the dialog keys send IDOK.
  addTooltip(
      drawnButton("OK", 537, 455, 102, 21, IDOK, ArialFont(), ButtonLook{RGB(0, 0, 0), ButtonGlyph::Check, true}),
      "Exit the software");

  for (HWND radioButton :
       {naturalSizeButton, fullScreenSizeButton, mediumSizeButton, smallSizeButton, customSizeButton, inSequenceButton,
        randomButton, soundOnButton, soundOffButton, repeatOnButton, repeatOffButton}) {
    navy_.insert(radioButton);
  }
  sizeButtons_ =
      RadioGroup{naturalSizeButton, fullScreenSizeButton, mediumSizeButton, smallSizeButton, customSizeButton};
  orderButtons_ = RadioGroup{inSequenceButton, randomButton};
  soundButtons_ = RadioGroup{soundOnButton, soundOffButton};
  repeatButtons_ = RadioGroup{repeatOnButton, repeatOffButton};
}

}  // namespace quorrel::windows_desktop
