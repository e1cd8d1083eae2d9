// The table of catalog files appended to the module file behind its image.
//
// The module carries an anchor text followed by the 8-byte file offset of the first table record
// (0: nothing appended). Each record holds the offset of the next record, the offset and size of
// one embedded file and its name; a record whose "next" is 0 ends the table. Numbers are
// little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The anchor text; the module holds it once, followed by the table offset.
std::string_view catalogAnchor();
constexpr std::size_t kCatalogAnchorLength = 36;
constexpr std::size_t kCatalogRecordSize = 256;
constexpr std::size_t kCatalogNameField = kCatalogRecordSize - 24;

struct EmbeddedFile {
    std::string name;  // relative to the module's folder, "\\" separated
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

struct CatalogTable {
    std::uint64_t anchorAt = 0;       // file offset of the anchor text
    std::uint64_t firstRecord = 0;    // the value stored behind the anchor
    std::vector<EmbeddedFile> files;  // in table order
};

// Nothing when the bytes hold no anchor. Records that lie outside the file and "next" pointers
// that do not move forward end the table there: what was read before is kept. A record whose
// file lies outside the module is skipped.
std::optional<CatalogTable> readCatalogTable(std::string_view module);

// ASCII comparison without regard to case, as the table's names are compared.
bool sameName(std::string_view a, std::string_view b);

}  // namespace tarnwick
