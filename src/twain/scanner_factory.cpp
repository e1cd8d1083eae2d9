#include "twain/sane_device.h"

namespace tarnwick {

std::unique_ptr<Scanner> createScanner(DataSource& owner) {
    return std::make_unique<SaneDevice>(owner);
}

}  // namespace tarnwick
