#include "options/dialog_layout.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "options/dialog_texts.h"

namespace quorrel {

namespace {

using enum ControlId;
using enum ControlKind;

constexpr FontFace kArial9{"Arial", 9, false, false};
constexpr FontFace kTerminal9{"Terminal", 9, false, true};
constexpr FontFace kCourierNew8{"Courier New", 8, false, false};

// Radio buttons are 17 pixels high; the options dialog's have navy text.
constexpr ControlLayout navyRadio(ControlId id, ControlId parent, std::int32_t left, std::int32_t top,
                                  std::int32_t width, const char* caption) {
  return {id, RadioButton, parent, {left, top, width, 17}, caption, nullptr, kArial8, true};
}

constexpr ControlLayout button(ControlId id, ControlId parent, Rect place, const char* caption,
                               const char* tooltip = nullptr) {
  return {id, PushButton, parent, place, caption, tooltip};
}

// A push button with a picture beside its caption, in the Arial 8 of the
// dialogs' buttons.
constexpr ControlLayout pictureButton(ControlId id, Rect place, const char* caption, ButtonPicture picture,
                                      bool isDefault = false) {
  return {id, PushButton, Window, place, caption, nullptr, kArial8, false, picture, isDefault};
}

constexpr ControlLayout group(ControlId id, ControlId parent, Rect place, const char* caption) {
  return {id, GroupBox, parent, place, caption, nullptr, kArial8Bold};
}

constexpr ControlLayout idleWatcherRow(ControlLayout row) {
  row.idleWatcherOnly = true;
  return row;
}

constexpr std::array kOptionsControls{
    ControlLayout{OptionsIntro, WrappedLabel, Window, {5, 5, 631, 28}, kOptionsIntroText},
    ControlLayout{VideoList, ListBox, Window, {1, 37, 640, 100}, "", nullptr, kArial8Bold},

    group(VideoFilesGroup, Window, {1, 140, 640, 64}, "Add or Remove Video Files"),
    button(AddVideoButton, VideoFilesGroup, {6, 18, 106, 21}, "Add Video", "Add a video to your list"),
    button(AddFolderButton, VideoFilesGroup, {115, 18, 106, 21}, "Add Entire Folder",
           "Add an entire folder of videos at once"),
    button(ClearListButton, VideoFilesGroup, {225, 18, 106, 21}, "Clear Entire List", "Empty your list of videos"),
    button(RemoveVideoButton, VideoFilesGroup, {335, 18, 106, 21}, "Remove Video",
           "Remove the highlighted video from your list"),
    button(VideoSoundButton, VideoFilesGroup, {445, 18, 106, 20}, "Video Sound", "Turn mute on/off by video"),
    button(PreviewButton, VideoFilesGroup, {560, 15, 75, 24}, "Preview", "Preview the highlighted video"),
    ControlLayout{VideoCountLabel, Label, VideoFilesGroup, {14, 46, 209, 13}},
    ControlLayout{VideoNameLabel, Label, VideoFilesGroup, {246, 46, 385, 13}},

    group(SizeGroup, Window, {2, 210, 350, 202}, "Video Display Options"),
    navyRadio(NaturalSizeButton, SizeGroup, 10, 16, 193, "Default Video Size (Clearest)"),
    navyRadio(FullScreenSizeButton, SizeGroup, 204, 16, 127, "Large (Full Screen)"),
    navyRadio(MediumSizeButton, SizeGroup, 204, 33, 113, "Medium"),
    navyRadio(SmallSizeButton, SizeGroup, 204, 49, 115, "Small"),
    navyRadio(CustomSizeButton, SizeGroup, 10, 83, 227, "Customize Video Window Below"),
    group(CustomSizeGroup, SizeGroup, {10, 109, 335, 87}, "Customize Video Display"),
    ControlLayout{WidthCaption, FittedLabel, CustomSizeGroup, {10, 24, 0, 0}, "Video Width", nullptr, kArial8, true},
    ControlLayout{HeightCaption, FittedLabel, CustomSizeGroup, {108, 24, 0, 0}, "Video Height", nullptr, kArial8, true},
    ControlLayout{WidthBar, ScrollBar, CustomSizeGroup, {10, 43, 74, 13}},
    ControlLayout{HeightBar, ScrollBar, CustomSizeGroup, {108, 43, 74, 13}},
    ControlLayout{WidthLabel, FittedLabel, CustomSizeGroup, {10, 65, 0, 0}, "", nullptr, kArial8, true},
    ControlLayout{HeightLabel, FittedLabel, CustomSizeGroup, {106, 65, 0, 0}, "", nullptr, kArial8, true},
    // Just below the size group, in the free strip left of the buttons on
    // the right, so that no control of the dialog moves.
    ControlLayout{EveryMonitorBox, CheckBox, Window, {10, 417, 240, 17}, "Play videos on every monitor"},
    // Below it, in the same strip: the wait of the idle watcher.
    idleWatcherRow({IdleStartBox, CheckBox, Window, {10, 441, 128, 17}, "Start the show after"}),
    idleWatcherRow({IdleMinutesBox, NumberBox, Window, {140, 439, 48, 21}}),
    idleWatcherRow({IdleMinutesCaption, Label, Window, {194, 443, 150, 13}, "minutes of inactivity"}),

    group(OrderGroup, Window, {379, 210, 261, 44}, "Video Plays:"),
    navyRadio(InSequenceButton, OrderGroup, 26, 19, 89, "In Sequence"),
    navyRadio(RandomButton, OrderGroup, 144, 19, 78, "Random"),

    group(SoundFileGroup, Window, {379, 258, 261, 77}, "Wav or Midi Sound?"),
    ControlLayout{SoundFileBox, ReadOnlyEdit, SoundFileGroup, {3, 15, 253, 22}},
    ControlLayout{
        ChooseSoundButton, PushButton, SoundFileGroup, {21, 47, 102, 19}, "Add a Sound File ", nullptr, kArial8, true},
    navyRadio(SoundOnButton, SoundFileGroup, 142, 40, 113, "Sound ON"),
    navyRadio(SoundOffButton, SoundFileGroup, 142, 57, 113, "Sound OFF"),

    group(RepeatGroup, Window, {379, 340, 123, 72}, "Repeat Sound "),
    navyRadio(RepeatOnButton, RepeatGroup, 18, 22, 84, "Repeat On"),
    navyRadio(RepeatOffButton, RepeatGroup, 18, 45, 82, "Repeat Off"),

    button(SupportButton, Window, {537, 379, 102, 21}, "Support"),
    button(MoreSoftwareButton, Window, {537, 404, 102, 21}, "More Software", "More software downloads"),
    button(AboutButton, Window, {537, 430, 102, 21}, "About", "Version Information"),
    ControlLayout{OkButton,
                  PushButton,
                  Window,
                  {537, 455, 102, 21},
                  "OK",
                  "Exit the software",
                  kArial8,
                  false,
                  ButtonPicture::Check,
                  true},
};

constexpr std::array kVideoSoundControls{
    ControlLayout{VideoSoundIntro, WrappedLabel, Window, {9, 5, 319, 47}, kVideoSoundIntroText},
    ControlLayout{StartPanel, SunkenPanel, Window, {5, 64, 321, 47}},
    ControlLayout{
        MuteAtStartButton, RadioButton, StartPanel, {8, 6, 299, 17}, "MUTE system when screensaver STARTS (No Sound)"},
    ControlLayout{UnmuteAtStartButton,
                  RadioButton,
                  StartPanel,
                  {8, 24, 307, 17},
                  "UN-MUTE system when screensaver STARTS (Sound On)"},
    ControlLayout{EndPanel, SunkenPanel, Window, {5, 116, 321, 47}},
    ControlLayout{
        MuteAtEndButton, RadioButton, EndPanel, {8, 6, 279, 17}, "MUTE system when screensaver ENDS (No Sound)"},
    ControlLayout{
        UnmuteAtEndButton, RadioButton, EndPanel, {8, 24, 298, 17}, "UN-MUTE system when screensaver ENDS (Sound On)"},
    button(ClearChoicesButton, Window, {6, 170, 75, 16}, "Clear Settings",
           "Clear the button settings. Ignore volume settings."),
    pictureButton(VideoSoundReturnButton, {251, 177, 75, 25}, "Return", ButtonPicture::Check, true),
};

constexpr std::array kAboutControls{
    ControlLayout{AboutFrame, GroupBox, Window, {13, 16, 489, 265}, "", nullptr, kWindowFont},
    ControlLayout{VersionLabel, WrappedLabel, AboutFrame, {22, 22, 203, 43}, "Version 3.26", nullptr, kArial9},
    ControlLayout{DisclaimerGroup, GroupBox, AboutFrame, {20, 80, 437, 169}, "Disclaimer", nullptr, kTerminal9},
    ControlLayout{
        DisclaimerStart, WrappedLabel, DisclaimerGroup, {12, 16, 405, 65}, kDisclaimer1, nullptr, kCourierNew8},
    ControlLayout{
        DisclaimerMiddle, WrappedLabel, DisclaimerGroup, {12, 58, 413, 49}, kDisclaimer2, nullptr, kCourierNew8},
    ControlLayout{
        DisclaimerEnd, WrappedLabel, DisclaimerGroup, {12, 110, 405, 49}, kDisclaimer3, nullptr, kCourierNew8},
    pictureButton(AboutReturnButton, {428, 300, 75, 25}, "Return", ButtonPicture::None, true),
};

// The buttons stand in their focus order: Play, Stop, Pause, Return.
constexpr std::array kPreviewControls{
    ControlLayout{PreviewPanel, VideoPanel, Window, {16, 8, 433, 297}},
    pictureButton(PlayButton, {456, 95, 75, 25}, "Play", ButtonPicture::Play),
    pictureButton(StopButton, {456, 175, 75, 25}, "Stop", ButtonPicture::Stop),
    pictureButton(PauseButton, {456, 135, 75, 25}, "Pause", ButtonPicture::Pause),
    pictureButton(PreviewReturnButton, {464, 359, 75, 25}, "Return", ButtonPicture::Check, true),
    ControlLayout{PreviewPathLabel, Label, Window, {5, 319, 529, 34}},
};

}  // namespace

const ControlLayout& WindowLayout::control(ControlId id) const {
  for (const ControlLayout& row : controls) {
    if (row.id == id) return row;
  }
  throw std::out_of_range("the window \"" + std::string(title) + "\" has no control " +
                          std::to_string(static_cast<int>(id)));
}

Rect WindowLayout::placeInWindow(ControlId id) const {
  const ControlLayout& row = control(id);
  Rect place = row.place;
  for (ControlId parent = row.parent; parent != ControlId::Window;) {
    const ControlLayout& box = control(parent);
    place.left += box.place.left;
    place.top += box.place.top;
    parent = box.parent;
  }
  return place;
}

const WindowLayout& OptionsDialogLayout() {
  static const WindowLayout layout{"Quorrel Options", 642, 477, WindowFrame::Fixed, {"MS Sans Serif", 8, true, false},
                                   kOptionsControls};
  return layout;
}

const WindowLayout& VideoSoundDialogLayout() {
  static const WindowLayout layout{"Video Sound", 344, 243, WindowFrame::Sizeable, kWindowFont, kVideoSoundControls};
  return layout;
}

const WindowLayout& AboutBoxLayout() {
  static const WindowLayout layout{"Quorrel Displayer", 514, 336, WindowFrame::Fixed, kWindowFont, kAboutControls};
  return layout;
}

const WindowLayout& PreviewWindowLayout() {
  static const WindowLayout layout{"Preview Video", 561, 431, WindowFrame::Sizeable, kWindowFont, kPreviewControls};
  return layout;
}

std::int32_t ScaledLength(std::int32_t length, int dpi) {
  return static_cast<std::int32_t>(std::lround(static_cast<double>(length) * dpi / kLayoutDpi));
}

Rect ScaledRect(const Rect& rect, int dpi) {
  const std::int32_t left = ScaledLength(rect.left, dpi);
  const std::int32_t top = ScaledLength(rect.top, dpi);
  return Rect{left, top, ScaledLength(rect.left + rect.width, dpi) - left,
              ScaledLength(rect.top + rect.height, dpi) - top};
}

std::int32_t FontPixelHeight(const FontFace& font, int dpi) {
  return static_cast<std::int32_t>(std::lround(static_cast<double>(font.points) * dpi / 72.0));
}

}  // namespace quorrel
