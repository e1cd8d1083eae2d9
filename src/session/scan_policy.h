// The small rules of a scan: when the device gets a cancel, whether the feeder is in use, and
// how an answer to the page question is read.
#pragma once

#include <string>

namespace tarnwick {

// Bits of the setting Zoveru/DeviceCancelType.
enum CancelBits : int {
    cancelAfterRead = 1,   // every read that got past the start of its first frame
    cancelAfterBatch = 2,  // after a preview, a failed first image, the last image of a series
    cancelOnEscape = 4,    // the user stopped a read
};

// Whether the value of the feeder option selects the document feeder. A boolean option is in
// use when it is set, or when it is clear for an option whose name says "no" (inverted).
bool feederSelected(bool booleanOption, bool inverted, const std::string& value);

// The number an answer to "Number of pages" stands for: a whole number, surrounding blanks
// allowed; anything else is 0.
int pagesAnswer(const std::string& answer);

}  // namespace tarnwick
