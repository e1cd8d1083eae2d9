// Waiting for the source's notifications while its window is up.
#pragma once

#include "source_module.h"

namespace harness {

// Runs the application's message loop, offering every message to the source (DAT_EVENT),
// until a notification has arrived. Where the source answers within its own calls (the Linux
// build has no window to use) there is nothing to wait for and it returns at once.
void pumpUntilNotified(SourceModule& source);

}  // namespace harness
