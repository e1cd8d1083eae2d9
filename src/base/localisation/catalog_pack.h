// Appending catalog files to a module file: the packaging step behind tarnwick-pack.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct CatalogFile {
    std::string name;  // relative to the module's folder, "\\" separated
    std::string bytes;
};

struct PackResult {
    std::string module;  // the packed module file
    std::string error;   // empty on success
};

// The module's image followed by the files in the given order and their table, with the anchor
// pointing at the table. A table already appended is replaced, not stacked.
PackResult packCatalogs(std::string module, const std::vector<CatalogFile>& files);

}  // namespace tarnwick
