// Reads a device listing (three header lines, then scanimage's option listing) into the device
// the replay backend serves.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "replay_option.h"

namespace tarnwick::replay {

struct ReplayDevice {
    std::string name, vendor, model, type, backend;
    // Option 0 (the number of options) first; the options never move once read.
    std::vector<std::unique_ptr<ReplayOption>> options;

    ReplayOption* find(const std::string& optionName) const {
        for (const auto& option : options)
            if (option->name == optionName && option->type != SANE_TYPE_GROUP) return option.get();
        return nullptr;
    }
};

// The device of the listing `text`; on failure null, with `error` saying which line and why.
std::unique_ptr<ReplayDevice> readListing(const std::string& text, std::string& error);

// The same for a file; bounded to listings of a reasonable size.
std::unique_ptr<ReplayDevice> readListingFile(const std::string& path, std::string& error);

}  // namespace tarnwick::replay
