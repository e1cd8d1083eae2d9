#include "options/scanner_transport.h"

namespace tarnwick {

Option* ScannerTransport::findOption(const std::string& name) const {
    for (const auto& option : options())
        if (option->name == name) return option.get();
    return nullptr;
}

}  // namespace tarnwick
