#include "platform/product_name.h"

#include "platform/module_info.h"

namespace platform {

namespace {

std::optional<std::string> readProductName() {
    std::optional<std::string> name = versionProductName();
    if (!name || name->empty()) name = stringResource(4);
    if (name->empty()) return std::nullopt;
    return name;
}

}  // namespace

// The resources do not change while the module is loaded; the settings file is looked for on
// most calls, so they are read once.
std::optional<std::string> moduleProductName() {
    static const std::optional<std::string> name = readProductName();
    return name;
}

}  // namespace platform
