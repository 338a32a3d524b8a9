#pragma once

// The processes that descend from the test program. Hosts start savers as
// their own children and may leave them behind; with the test program as
// their subreaper, they come back to it, so that every process a test has
// started, directly or not, can be found and ended.

#include <sys/types.h>

#include <string>
#include <vector>

namespace quorrel::test {

// Makes the test program the subreaper of everything it starts.
void AdoptOrphans();

// The live processes below the test program that run that program file.
[[nodiscard]] std::vector<pid_t> LiveSavers(const std::string& program);

// Kills every process below the test program but `keep`, and reaps those
// that came back to it.
void EndDescendants(pid_t keep);

}  // namespace quorrel::test
