#include "options/option.h"

#include "settings/debug_log.h"
#include "settings/translate.h"

namespace tarnwick {

std::string unitText(Word unit) {
    switch (unit) {
        case SANE_UNIT_NONE:
            return {};
        case SANE_UNIT_PIXEL:
            return tr("pel");
        case SANE_UNIT_BIT:
            return tr("bit");
        case SANE_UNIT_MM:
            return tr("mm");
        case SANE_UNIT_DPI:
            return tr("dpi");
        case SANE_UNIT_PERCENT:
            return "%";  // the same sign in every language
        case SANE_UNIT_MICROSECOND:
            return tr("microsecond");
        default:
            return tr("unknown");
    }
}

Option::Option(Word index, std::string name, std::string title, std::string description, Word unit,
               Word size, Word capabilities, OptionDevice* device)
    : capabilities(capabilities),
      index(index),
      device(device),
      size(size),
      unit(unit),
      name(std::move(name)),
      title(std::move(title)),
      description(std::move(description)) {
    if (!debugLogEnabled()) return;
    debugLog(tr("Option created: %d, %s\n"), this->index, this->name.c_str());
    debugLog(tr("\tOption capabilities: %d\n"), this->capabilities);
}

}  // namespace tarnwick
