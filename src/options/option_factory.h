// The option object for one option descriptor.
#pragma once

#include <memory>

#include "options/option.h"
#include "sane/procedures.h"

namespace tarnwick {

// The class follows the descriptor type; range and word-list values become doubles (fixed-point
// words divided by 65536). Nothing for a type the option tree has no class for.
std::unique_ptr<Option> makeOption(const OptionDescriptor& descriptor, OptionDevice* device,
                                   bool hideInactive);
// A reloaded descriptor's constraint replaces the option's (of the same type only); its control
// shows the new entries or range at once.
void renewConstraint(Option& option, const OptionDescriptor& descriptor);

}  // namespace tarnwick
