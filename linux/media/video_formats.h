#pragma once

#include "options/video_formats.h"

namespace quorrel::linux_desktop {

// The video files libmpv plays here (through FFmpeg): the video chooser's
// "All Videos" entry and "Add Entire Folder" take exactly these.
inline const VideoExtensions kPlayableVideoExtensions = {
    "mp4", "m4v",  "mkv", "webm", "mov", "qt",  "avi", "wmv", "asf", "mpg",  "mpeg", "mpe", "m2v",
    "ts",  "m2ts", "mts", "vob",  "ogv", "3gp", "3g2", "flv", "f4v", "divx", "mxf",  "dv",
};

}  // namespace quorrel::linux_desktop
