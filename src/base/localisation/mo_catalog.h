// A GNU gettext message catalog (.mo file) read from its bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class MoCatalog {
  public:
    // Nothing when the bytes are not a complete, well-formed catalog of a known revision.
    static std::optional<MoCatalog> parse(std::string bytes);

    // The translation of a text; nothing when the catalog has none.
    std::optional<std::string_view> find(std::string_view text) const;
    // Number of plain entries (header, context and plural entries are not counted).
    std::size_t size() const { return entries_.size(); }
    // The original text of entry i, in byte order of the originals.
    std::string_view original(std::size_t i) const;

  private:
    struct Entry {
        std::uint32_t keyOffset, keyLength, valueOffset, valueLength;
    };
    explicit MoCatalog(std::string bytes) : bytes_(std::move(bytes)) {}
    std::string_view view(std::uint32_t offset, std::uint32_t length) const {
        return std::string_view(bytes_).substr(offset, length);
    }

    std::string bytes_;
    std::vector<Entry> entries_;  // sorted by original text
};

}  // namespace tarnwick
