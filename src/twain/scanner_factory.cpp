#include "twain/sane_device.h"

#include "settings/properties_services.h"

namespace tarnwick {

std::unique_ptr<Scanner> createScanner(DataSource& owner) {
    return std::make_unique<SaneDevice>(owner);
}

}  // namespace tarnwick
