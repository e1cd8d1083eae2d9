#include "base/localisation/catalog_table.h"

// Kept in a file of its own so that no other code sees the bytes and copies them: the packer
// must find this one place. The eight zero bytes are the table offset it writes. The module is
// linked with this symbol required, so the anchor is there before any text is translated.
extern "C" {
extern const char tarnwickCatalogAnchor[tarnwick::kCatalogAnchorLength + 8];
const char tarnwickCatalogAnchor[tarnwick::kCatalogAnchorLength + 8] =
    "6637DB2E-62E1-4A60-AC19-C23867046A89\0\0\0\0\0\0\0";
}

namespace tarnwick {

std::string_view catalogAnchor() {
    return std::string_view(tarnwickCatalogAnchor, kCatalogAnchorLength);
}

}  // namespace tarnwick
