// Private-profile (INI) files, read and written the way the Windows profile functions do it.
// Edits by other processes are seen at the next read. Section and key names compare without
// regard to case. Texts are UTF-8; files in UTF-16 or the ANSI code page read as Windows reads
// them. A write fails (false) when the file exists but cannot be read.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Longest value text a read returns, in characters.
inline constexpr std::size_t kProfileValueLimit = 2047;

using ProfileEntry = std::pair<std::string, std::string>;

// The value of the key, cut to kProfileValueLimit characters, with one pair of enclosing quotes
// removed; the fallback when the file, the section or the key is missing.
std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback);

// Writes key=value, creating the file, the section or the key as needed; false when refused.
bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

// Removes the key; false when the write is refused. A missing key is no failure.
bool deleteProfileKey(const std::string& path, const std::string& section, const std::string& key);

// Removes the section with all its keys; false when the write is refused.
bool eraseProfileSection(const std::string& path, const std::string& section);

// Names of all sections, in file order.
std::vector<std::string> profileSectionNames(const std::string& path);

// Names of all keys of the section, in file order.
std::vector<std::string> profileKeyNames(const std::string& path, const std::string& section);

// All name/value lines of the section, in file order; values as written (quotes kept).
std::vector<ProfileEntry> profileSectionEntries(const std::string& path,
                                                const std::string& section);

}  // namespace platform
