// The text of an INI file as a list of lines, with the reading rules of the Windows profile
// functions. Lines that are not understood are kept as they are and written back unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"

namespace platform {

class IniDocument {
  public:
    explicit IniDocument(std::string_view content);

    std::string text() const;

    // Lookups use the first section of a name; keys and sections repeat only by hand-editing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;
    std::vector<ProfileEntry> entries(std::string_view section) const;

    // Each returns whether the text changed.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

  private:
    enum class Kind { other, section, entry };
    struct Line {
        std::string text;
        Kind kind = Kind::other;
        std::string name;   // section name or key name
        std::string value;  // entry value, blanks around it removed
    };

    static Line parse(std::string text);
    // Index of the header of the first section of that name, if any.
    std::optional<std::size_t> findSection(std::string_view section) const;
    // One past the last line that belongs to the section starting at header.
    std::size_t sectionEnd(std::size_t header) const;

    std::vector<Line> lines_;
    std::string newline_ = "\n";
    bool byteOrderMark_ = false;  // kept, so that a rewrite leaves the encoding mark in place
};

}  // namespace platform
