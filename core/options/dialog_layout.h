#pragma once

#include <cstdint>
#include <span>

#include "base/geometry.h"

// The configuration mode's windows as they were drawn: each control's kind,
// place, size, caption, tooltip and look, in units of a 96-dpi screen. Both
// front ends build their windows from these rows; the Qt one lets Qt scale
// them by its device pixel ratio, the Win32 one scales them by the DPI of
// the monitor the window is on. A new control is one more row here, and its
// wiring in each front end.

namespace quorrel {

// What a row is made into.
enum class ControlKind {
  // One line of text at a fixed size, cut at its right edge.
  Label,
  // Text wrapped within a fixed size.
  WrappedLabel,
  // Text that gives the control its size ("auto"): the row's width and
  // height are 0, and the control takes its text's size whenever that
  // changes.
  FittedLabel,
  ListBox,
  // A frame with a caption on its top line (or none).
  GroupBox,
  // A lowered frame without a caption.
  SunkenPanel,
  PushButton,
  RadioButton,
  // A box the user checks or clears, with its caption on its right.
  CheckBox,
  // A horizontal scroll bar.
  ScrollBar,
  // A text box the user cannot type in.
  ReadOnlyEdit,
  // A surface a video player draws into.
  VideoPanel,
  // A whole number that the user types or steps up and down, within the
  // range its option allows.
  NumberBox,
};

// The picture a push button shows left of its caption.
enum class ButtonPicture { None, Check, Play, Pause, Stop };

// A font by family and size in points; a point is 96/72 pixels at 96 dpi.
struct FontFace {
  const char* family = "Arial";
  int points = 8;
  bool bold = false;
  // The OEM character set, as the disclaimer's "Terminal" face asks.
  bool oemCharset = false;
  friend bool operator==(const FontFace&, const FontFace&) = default;
};

inline constexpr FontFace kArial8{"Arial", 8, false, false};
inline constexpr FontFace kArial8Bold{"Arial", 8, true, false};
inline constexpr FontFace kWindowFont{"MS Sans Serif", 8, false, false};

// Every control of every window; a front end finds its controls by these.
// `Window` stands for the window itself, as the parent of its top rows.
enum class ControlId : int {
  Window = 0,
  // "Quorrel Options"
  OptionsIntro,
  VideoList,
  VideoFilesGroup,
  AddVideoButton,
  AddFolderButton,
  ClearListButton,
  RemoveVideoButton,
  VideoSoundButton,
  PreviewButton,
  VideoCountLabel,
  VideoNameLabel,
  SizeGroup,
  NaturalSizeButton,
  FullScreenSizeButton,
  MediumSizeButton,
  SmallSizeButton,
  CustomSizeButton,
  CustomSizeGroup,
  WidthCaption,
  HeightCaption,
  WidthBar,
  HeightBar,
  WidthLabel,
  HeightLabel,
  EveryMonitorBox,
  IdleStartBox,
  IdleMinutesBox,
  IdleMinutesCaption,
  OrderGroup,
  InSequenceButton,
  RandomButton,
  SoundFileGroup,
  SoundFileBox,
  ChooseSoundButton,
  SoundOnButton,
  SoundOffButton,
  RepeatGroup,
  RepeatOnButton,
  RepeatOffButton,
  SupportButton,
  MoreSoftwareButton,
  AboutButton,
  OkButton,
  // "Video Sound"
  VideoSoundIntro,
  StartPanel,
  MuteAtStartButton,
  UnmuteAtStartButton,
  EndPanel,
  MuteAtEndButton,
  UnmuteAtEndButton,
  ClearChoicesButton,
  VideoSoundReturnButton,
  // "Quorrel Displayer"
  AboutFrame,
  VersionLabel,
  DisclaimerGroup,
  DisclaimerStart,
  DisclaimerMiddle,
  DisclaimerEnd,
  AboutReturnButton,
  // "Preview Video"
  PreviewPanel,
  PlayButton,
  StopButton,
  PauseButton,
  PreviewReturnButton,
  PreviewPathLabel,
};

// One control. Rows stand in the order the controls are made, which is also
// the order the keyboard's Tab key visits them in.
struct ControlLayout {
  ControlId id = ControlId::Window;
  ControlKind kind = ControlKind::Label;
  // The group box or panel the control stands in; `place` is within it.
  ControlId parent = ControlId::Window;
  Rect place;
  const char* caption = "";
  const char* tooltip = nullptr;
  FontFace font = kArial8;
  // Navy text instead of black.
  bool navy = false;
  ButtonPicture picture = ButtonPicture::None;
  // The window's default button, the one Enter presses.
  bool isDefault = false;
  // Only where Quorrel watches for the session's idle time itself (Linux):
  // on Windows the system's own screen-saver settings keep the wait.
  bool idleWatcherOnly = false;
};

// How a window's frame is drawn, and so what its size means.
enum class WindowFrame {
  // A fixed frame; the size is the client area's.
  Fixed,
  // A frame the user can drag; the size is the outer size, frame included.
  Sizeable,
};

struct WindowLayout {
  const char* title = "";
  std::int32_t width = 0;
  std::int32_t height = 0;
  WindowFrame frame = WindowFrame::Fixed;
  // The window's default font, which controls without a font of their own
  // take.
  FontFace font = kWindowFont;
  std::span<const ControlLayout> controls;

  // The row of `id`; throws std::out_of_range for a control this window
  // does not have.
  [[nodiscard]] const ControlLayout& control(ControlId id) const;
  // The control's place within the window's client area: its own place
  // moved by the places of the group boxes it stands in.
  [[nodiscard]] Rect placeInWindow(ControlId id) const;
};

[[nodiscard]] const WindowLayout& OptionsDialogLayout();
[[nodiscard]] const WindowLayout& VideoSoundDialogLayout();
[[nodiscard]] const WindowLayout& AboutBoxLayout();
[[nodiscard]] const WindowLayout& PreviewWindowLayout();

// Each list entry's height in the options dialog's video list.
inline constexpr std::int32_t kVideoListRowHeight = 14;
// The size of a button's picture.
inline constexpr std::int32_t kButtonPictureSize = 16;

// The screen's dots per inch that the rows are given in.
inline constexpr int kLayoutDpi = 96;

// A length of the layout at `dpi`, rounded to the nearest pixel (a half
// away from zero).
[[nodiscard]] std::int32_t ScaledLength(std::int32_t length, int dpi);
// A rectangle of the layout at `dpi`. Its edges are scaled, not its size,
// so that controls that touch at 96 dpi touch at every scale.
[[nodiscard]] Rect ScaledRect(const Rect& rect, int dpi);
// A font's character height in pixels at `dpi`.
[[nodiscard]] std::int32_t FontPixelHeight(const FontFace& font, int dpi);

}  // namespace quorrel
