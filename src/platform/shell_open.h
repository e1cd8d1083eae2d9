// The shell's "open" operation: shows a web address in the user's browser.
#pragma once

#include <string>

namespace platform {

// True when the shell accepted the address. On Linux the data source runs without a desktop
// shell: nothing is opened and the answer is false.
bool shellOpen(const std::string& address);

}  // namespace platform
