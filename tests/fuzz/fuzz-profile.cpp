// Settings files are edited by hand: any content must parse, answer lookups and survive edits.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/posix/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view content(reinterpret_cast<const char*>(data), size);
    platform::IniDocument document(content);
    for (const std::string& section : document.sectionNames()) {
        for (const auto& [key, value] : document.entries(section)) {
            if (document.value(section, key) != value && document.keyNames(section).empty())
                __builtin_trap();
        }
    }
    document.set("General", "Language", "de");
    if (document.value("general", "LANGUAGE") != "de") __builtin_trap();
    document.removeKey("Connection", "Host");
    document.removeSection("Regions");
    // What was written reads back the same after a round trip through the text.
    platform::IniDocument again(document.text());
    if (again.value("General", "Language") != "de") __builtin_trap();
    if (!again.entries("Regions").empty()) __builtin_trap();
    return 0;
}
