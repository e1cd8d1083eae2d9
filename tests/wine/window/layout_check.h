// What a user would find cut or covered in a window, measured through Win32 itself: texts wider
// (or, wrapped, taller) than their control, combo-box entries wider than the box, tool buttons
// outside their bar or under a control the bar holds.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarnwick::wine {

// One line per fault, naming the control's class and text; empty when nothing is cut.
std::vector<std::string> cutTexts(HWND window);

}  // namespace tarnwick::wine
