#pragma once

// The longer fixed texts of the configuration mode's windows, shared by the
// Qt and the Win32 views so that both show the same words.

namespace quorrel {

inline constexpr const char* kOptionsIntroText =
    "Click the \"Add\" button to add any video files to your screensaver. Note that you can double-click any video in "
    "your list to automatically open it, or click the \"Preview\" button to open a viewer. You can also play videos "
    "full-screen.";

inline constexpr const char* kVideoSoundIntroText =
    "Turn your sound on or off while your videos are playing. Many videos have different volumes, so this feature "
    "will allow you to turn video sound off.";

// One disclaimer laid out over three labels: the first breaks off in the
// middle of its sentence and the second carries it on.
inline constexpr const char* kDisclaimer1 =
    "Quorrel is provided as is, without warranty of any kind, express or implied, including but not limited to "
    "the warranties of merchantability, fitness for a";
inline constexpr const char* kDisclaimer2 =
    "particular purpose and non-infringement.  You use Quorrel and play your videos with it entirely at your own "
    "risk.";
inline constexpr const char* kDisclaimer3 =
    "In no event shall the authors be liable for any claim, damages or other liability arising from the use of "
    "Quorrel.";

}  // namespace quorrel
