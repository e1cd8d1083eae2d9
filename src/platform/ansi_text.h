// Text for 8-bit interfaces that expect the system's ANSI code page (the debug log).
#pragma once

#include <string>

namespace platform {

// UTF-8 text in the ANSI code page; characters the code page lacks become its default character.
std::string toAnsiCodePage(const std::string& utf8);

}  // namespace platform
