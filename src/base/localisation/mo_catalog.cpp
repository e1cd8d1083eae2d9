#include "base/localisation/mo_catalog.h"

#include <algorithm>

namespace tarnwick {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::size_t kHeaderSize = 28;

std::uint32_t readWord(const std::string& bytes, std::size_t at, bool bigEndian) {
    auto byte = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    if (bigEndian) return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    return byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
}

}  // namespace

std::optional<MoCatalog> MoCatalog::parse(std::string bytes) {
    if (bytes.size() < kHeaderSize || bytes.size() > UINT32_MAX) return std::nullopt;
    bool bigEndian = false;
    if (readWord(bytes, 0, false) != kMagic) {
        if (readWord(bytes, 0, true) != kMagic) return std::nullopt;
        bigEndian = true;
    }
    auto word = [&](std::size_t at) { return readWord(bytes, at, bigEndian); };
    // Major revisions 0 and 1 share the layout read here.
    if (word(4) >> 16 > 1) return std::nullopt;
    const std::uint64_t count = word(8), originals = word(12), translations = word(16);
    const std::uint64_t size = bytes.size();
    if (originals + count * 8 > size || translations + count * 8 > size) return std::nullopt;

    MoCatalog catalog(std::move(bytes));
    const std::string& data = catalog.bytes_;
    catalog.entries_.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t keyLength = readWord(data, originals + i * 8, bigEndian);
        const std::uint64_t keyOffset = readWord(data, originals + i * 8 + 4, bigEndian);
        const std::uint64_t valueLength = readWord(data, translations + i * 8, bigEndian);
        const std::uint64_t valueOffset = readWord(data, translations + i * 8 + 4, bigEndian);
        // One string outside the file makes the whole catalog suspect.
        if (keyOffset + keyLength > size || valueOffset + valueLength > size) return std::nullopt;
        const std::string_view key = catalog.view(keyOffset, keyLength);
        // The header (empty original), contexts ("\x04") and plural forms ("\0") are never
        // looked up by a plain text.
        if (key.empty() || key.find('\x04') != key.npos || key.find('\0') != key.npos) continue;
        const std::string_view value = catalog.view(valueOffset, valueLength);
        const std::size_t end = std::min(value.find('\0'), value.size());
        if (end == 0) continue;
        catalog.entries_.push_back(
            {static_cast<std::uint32_t>(keyOffset), static_cast<std::uint32_t>(keyLength),
             static_cast<std::uint32_t>(valueOffset), static_cast<std::uint32_t>(end)});
    }
    // Sorted here rather than trusted: a catalog out of order still looks up correctly.
    std::stable_sort(
        catalog.entries_.begin(), catalog.entries_.end(), [&](const Entry& a, const Entry& b) {
            return catalog.view(a.keyOffset, a.keyLength) < catalog.view(b.keyOffset, b.keyLength);
        });
    return catalog;
}

std::optional<std::string_view> MoCatalog::find(std::string_view text) const {
    auto it = std::lower_bound(
        entries_.begin(), entries_.end(), text,
        [&](const Entry& e, std::string_view t) { return view(e.keyOffset, e.keyLength) < t; });
    if (it == entries_.end() || view(it->keyOffset, it->keyLength) != text) return std::nullopt;
    return view(it->valueOffset, it->valueLength);
}

std::string_view MoCatalog::original(std::size_t i) const {
    return view(entries_.at(i).keyOffset, entries_.at(i).keyLength);
}

}  // namespace tarnwick
