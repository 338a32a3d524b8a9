#pragma once

#include <string_view>

namespace quorrel {

// Writes "quorrel: <message>" as one line to standard error. Every error
// that is handled without a message box leaves such a line, so that a
// black show can be explained: screen-saver hosts and the systemd journal
// keep the standard error of what they start. There is no log file.
void LogError(std::string_view message);

}  // namespace quorrel
