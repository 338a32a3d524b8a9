#include "base/log.h"

#include <cstdio>
#include <string>

namespace quorrel {

void LogError(std::string_view message) {
  // One write of the whole line, so that lines of several processes
  // sharing one standard error (a host's copies) never interleave.
  std::string line = "quorrel: ";
  line.append(message);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace quorrel
