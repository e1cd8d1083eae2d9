// Catalog files and appended catalog tables from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/localisation/catalog_table.h"
#include "base/localisation/languages.h"
#include "base/localisation/mo_catalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (auto catalog = tarnwick::MoCatalog::parse(bytes)) {
        for (std::size_t i = 0; i < catalog->size(); ++i) catalog->find(catalog->original(i));
        catalog->find("Scan resolution");
    }
    if (auto table = tarnwick::readCatalogTable(bytes)) {
        for (const auto& file : table->files)
            if (file.offset + file.size > size) __builtin_trap();
        tarnwick::languageList({}, table->files);
    }
    return 0;
}
