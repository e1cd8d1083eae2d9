// What an option needs of its device: the typed value exchanges. `Device` implements it; the
// option model depends on nothing else of the device, so it can be exercised on its own.
#pragma once

#include <string>

#include "sane/wire_types.h"

namespace tarnwick {

class Option;
class NumberOption;

class OptionDevice {
  public:
    virtual ~OptionDevice() = default;
    // The value returned by the device; `value` when nothing was received.
    virtual bool controlBool(Word action, Option& option, bool value) = 0;
    // Sends the option's values (for SET) and replaces them with what comes back.
    virtual void controlNumbers(Word action, NumberOption& option) = 0;
    // The text returned by the device, cut to the option size.
    virtual std::string controlString(Word action, Option& option, const std::string& text) = 0;
};

}  // namespace tarnwick
