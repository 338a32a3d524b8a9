#pragma once

#include "options/video_formats.h"

namespace quorrel::windows_desktop {

// The video files Windows plays through its Media Foundation and MCI
// back ends: the video chooser's "All Videos" entry and "Add Entire
// Folder" take exactly these.
inline const VideoExtensions kPlayableVideoExtensions = {
    "mp4", "m4v", "mov", "3gp", "3g2", "wmv", "asf", "avi", "mkv", "mpg", "mpeg", "mpe", "m2v", "ts", "m2ts", "mts",
};

}  // namespace quorrel::windows_desktop
