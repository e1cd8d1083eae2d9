// The options of an open scanner that have a role beyond their own page: the session scans
// through them, the TWAIN capabilities read and write them, and the window puts some in its tool
// bars. One finder gives every user the same answer.
#pragma once

#include <memory>
#include <vector>

namespace tarnwick {

class NumberOption;
class Option;

// Null where the scanner has no such option.
struct OptionRoles {
    // The scan area's edges.
    NumberOption* tlx = nullptr;
    NumberOption* tly = nullptr;
    NumberOption* brx = nullptr;
    NumberOption* bry = nullptr;
    Option* preview = nullptr;
    Option* mode = nullptr;
    Option* depth = nullptr;
    Option* resolution = nullptr;
    // A resolution of the vertical axis alone, where the device has one that can be set.
    Option* yResolution = nullptr;
    // A boolean that makes the scanner wait for its own button.
    Option* wait = nullptr;
    // The option that selects the document feeder, and whether its name says "no" (a boolean
    // that is clear while the feeder is in use).
    Option* feeder = nullptr;
    bool feederInverted = false;
    // Whether paper lies in the feeder.
    Option* paperSensor = nullptr;
    Option* brightness = nullptr;
    Option* contrast = nullptr;
    Option* threshold = nullptr;
    Option* gamma = nullptr;

    // All four edges exist: the scan area can be set.
    bool hasArea() const { return tlx && tly && brx && bry; }
};

// The roles in the options' order. Depth, wait, feeder and y-resolution roles go only to options
// active when the scanner is opened (the y-resolution also settable); the first "resolution"
// counts.
OptionRoles findOptionRoles(const std::vector<std::unique_ptr<Option>>& options);

}  // namespace tarnwick
