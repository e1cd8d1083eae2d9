#include "twain/open_scanner.h"

namespace tarnwick {

std::unique_ptr<Scanner> createScanner(DataSource& owner) {
    return std::make_unique<OpenScanner>(owner);
}

}  // namespace tarnwick
