#include "unit/twain/scripted_scanner.h"

#include <new>
#include <stdexcept>

namespace tarnwick::testing {

void ScriptedScanner::showWindow(bool uiOnly) {
    if (script_.showWindowThrows == 1) throw std::bad_alloc();
    if (script_.showWindowThrows == 2) throw std::runtime_error("window broke");
    script_.calls.push_back(uiOnly ? "showWindow(settings)" : "showWindow(scan)");
}

Image* ScriptedScanner::acquire(bool keepAsCurrent, bool cancelAtEnd) {
    script_.calls.push_back(std::string("acquire(") + (keepAsCurrent ? "keep" : "-") + "," +
                            (cancelAtEnd ? "cancel" : "-") + ")");
    if (script_.scans.empty()) return nullptr;
    bool ok = script_.scans.front();
    script_.scans.pop_front();
    return ok ? someImage() : nullptr;
}

TW_UINT16 ScriptedScanner::getCustomData(TW_CUSTOMDSDATA*) {
    script_.calls.push_back("getCustomData");
    return TWRC_SUCCESS;
}

TW_UINT16 ScriptedScanner::setCustomData(TW_CUSTOMDSDATA*) {
    script_.calls.push_back("setCustomData");
    return TWRC_SUCCESS;
}

}  // namespace tarnwick::testing
