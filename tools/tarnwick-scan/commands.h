// The subcommands of tarnwick-scan; each lives in a file of its own.
#pragma once

#include <string>
#include <vector>

namespace harness {

// Each takes the arguments after the subcommand's name and returns the exit status.
int runIdentity(const std::vector<std::string>& args);
int runAcquire(const std::vector<std::string>& args);
int runDiscover(const std::vector<std::string>& args);

}  // namespace harness
