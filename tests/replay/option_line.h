// One option's line of a scanimage listing: `--name CONSTRAINT [VALUE] [STATE]...`.
#pragma once

#include <string>

#include "replay_option.h"

namespace tarnwick::replay {

// Reads `text` (the line without its indentation; a value that spans lines joined with '\n') into
// `option`: name, type, unit, constraint, value and capabilities. Empty on success, else why not.
std::string readOptionLine(const std::string& text, ReplayOption& option);

// True while a value bracket of the line is still open: the value goes on in the next line.
bool valueOpen(const std::string& text);

}  // namespace tarnwick::replay
