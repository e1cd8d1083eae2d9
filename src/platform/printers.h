// The printers installed on the machine, for the settings dialog's printer list.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct PrinterList {
    // In the platform's order.
    std::vector<std::string> names;
    // Position of the platform's current default printer in `names`; -1 when there is none.
    int defaultIndex = -1;
};

// On Linux no printing service is used: the list is empty.
PrinterList installedPrinters();

}  // namespace platform
