// The options of an open device that have a role beyond their own page: the TWAIN capabilities
// read and write them, and the window scans through them.
#pragma once

namespace tarnwick {

class Option;

// Null where the device has no such option.
struct OptionRoles {
    Option* mode = nullptr;
    Option* depth = nullptr;
    Option* resolution = nullptr;
    Option* tlx = nullptr;
    Option* tly = nullptr;
    Option* brx = nullptr;
    Option* bry = nullptr;
};

}  // namespace tarnwick
