#pragma once

namespace quorrel::linux_desktop {

// Makes what the process was started with on its standard descriptors
// unable to change what it does, before anything else opens a file or a
// connection:
// - a descriptor 0, 1 or 2 that is closed (`quorrel /S 2>&-`) is opened on
//   /dev/null, or the next file or X socket opened would take its number
//   and every log line would be written into it;
// - a write to a pipe whose reader has gone (an idle tool's logger that
//   died) fails with EPIPE instead of ending the process with SIGPIPE
//   between the start mute and the end mute.
void GuardStandardDescriptors();

}  // namespace quorrel::linux_desktop
