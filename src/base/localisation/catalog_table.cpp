#include "base/localisation/catalog_table.h"

#include <algorithm>
#include <functional>

#include "base/text.h"

namespace tarnwick {
namespace {

// More records than any packaging makes; bounds the walk of a damaged table.
constexpr std::size_t kMaxRecords = 4096;

std::uint64_t readOffset(std::string_view bytes, std::uint64_t at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<CatalogTable> readCatalogTable(std::string_view module) {
    const std::string_view anchor = catalogAnchor();
    const auto found =
        std::search(module.begin(), module.end(),
                    std::boyer_moore_horspool_searcher(anchor.begin(), anchor.end()));
    if (found == module.end()) return std::nullopt;
    CatalogTable table;
    table.anchorAt = static_cast<std::uint64_t>(found - module.begin());
    const std::uint64_t size = module.size();
    if (table.anchorAt + kCatalogAnchorLength + 8 > size) return table;
    table.firstRecord = readOffset(module, table.anchorAt + kCatalogAnchorLength);

    std::uint64_t record = table.firstRecord;
    while (record != 0 && table.files.size() < kMaxRecords) {
        if (record > size || size - record < 8) break;
        const std::uint64_t next = readOffset(module, record);
        if (next == 0) break;
        // Records follow one another, so a pointer that does not move forward is damage (or a
        // loop); the name field runs up to the next record.
        if (next <= record + 24 || next > size) break;
        EmbeddedFile file;
        file.offset = readOffset(module, record + 8);
        file.size = readOffset(module, record + 16);
        // A record whose file lies outside is skipped: the chain itself still leads on.
        if (file.offset <= size && file.size <= size - file.offset) {
            file.name =
                std::string(base::trim(module.substr(record + 24, next - record - 24), " "));
            table.files.push_back(std::move(file));
        }
        record = next;
    }
    return table;
}

}  // namespace tarnwick
