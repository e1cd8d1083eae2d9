#include "base/localisation/catalog_pack.h"

#include <algorithm>

#include "base/localisation/catalog_table.h"

namespace tarnwick {
namespace {

void putOffset(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

}  // namespace

PackResult packCatalogs(std::string module, const std::vector<CatalogFile>& files) {
    const auto table = readCatalogTable(module);
    if (!table) return {{}, "the module holds no catalog anchor"};
    const std::uint64_t valueAt = table->anchorAt + kCatalogAnchorLength;
    if (valueAt + 8 > module.size()) return {{}, "the module ends inside its catalog anchor"};

    // The image ends where the old appended data begins.
    std::uint64_t imageEnd = module.size();
    if (table->firstRecord != 0) {
        imageEnd = table->firstRecord;
        for (const EmbeddedFile& file : table->files) imageEnd = std::min(imageEnd, file.offset);
        if (imageEnd < valueAt + 8 || imageEnd > module.size())
            return {{}, "the module's old catalog table is damaged"};
    }
    module.resize(imageEnd);

    std::vector<std::uint64_t> offsets;
    for (const CatalogFile& file : files) {
        if (file.name.empty() || file.name.size() > kCatalogNameField)
            return {{},
                    "catalog name empty or longer than " + std::to_string(kCatalogNameField) +
                        " bytes: " + file.name};
        offsets.push_back(module.size());
        module += file.bytes;
    }
    const std::uint64_t first = module.size();
    for (std::size_t i = 0; i < files.size(); ++i) {
        putOffset(module, first + (i + 1) * kCatalogRecordSize);
        putOffset(module, offsets[i]);
        putOffset(module, files[i].bytes.size());
        std::string name = files[i].name;
        name.resize(kCatalogNameField, ' ');
        module += name;
    }
    putOffset(module, 0);  // the end of the table

    std::string value;
    putOffset(value, first);
    module.replace(valueAt, 8, value);
    return {std::move(module), {}};
}

}  // namespace tarnwick
