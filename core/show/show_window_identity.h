#pragma once

namespace quorrel {

// The show window's class and title. Every start of the program looks for a
// window with exactly these two and, finding one, does nothing: that is how
// a second show, or the options dialog, is kept off a running show. Other
// copies and older versions look for the same pair, so neither ever
// changes.
inline constexpr const char* kShowWindowClass = "TForm1";
inline constexpr const char* kShowWindowTitle = "FrmQuorrel33";

}  // namespace quorrel
