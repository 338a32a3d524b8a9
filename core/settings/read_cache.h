#pragma once

#include <memory>
#include <string>

#include "settings/profile.h"

namespace quorrel {

// The settings file as it is on disk at the moment of the call, parsed;
// nothing when there is no readable regular file at `path`.
//
// Another process (the show, the options dialog, a text editor) may change
// the file at any time, so every call checks the file's identity with one
// stat and serves the parsed text it holds only when that check proves the
// file unchanged:
//  - the same device and inode (volume and file identifier on Windows):
//    the cache keeps the file it read open where that keeps its inode
//    number from being reused by a later file at the same path (an atomic
//    replace always makes a new inode); see kReadersHoldFilesOpen;
//  - the same size, modification and status-change times, and both times
//    lie well before the moment the file was read, so that a change made
//    in place within the file system's timestamp granularity cannot hide
//    behind an unchanged time. A file changed that recently is read again
//    on every call until it has settled.
[[nodiscard]] std::shared_ptr<const Profile> CurrentProfile(const std::string& path);

// Drops what the cache holds for `path` (after this process wrote it).
void ForgetProfile(const std::string& path);

}  // namespace quorrel
