// Accessor for one settings (INI) file. It holds nothing but the path: every operation goes to
// the file, so nothing stays open and edits by other processes are seen at the next read.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile.h"
#include "settings/settings_keys.h"

namespace tarnwick {

// A write the platform refused; the message is the translated "Unable to write to %s".
class SettingsWriteError : public std::runtime_error {
  public:
    explicit SettingsWriteError(const std::string& path);
};

using SettingsEntry = platform::ProfileEntry;

class SettingsFile {
  public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    bool exists() const;
    // The file exists and may not be written.
    bool isReadOnly() const;

    // At most 2047 characters; the default when the file or the key is missing.
    std::string readText(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
    // Decimal, or hexadecimal after "0x"; the default when missing or no number.
    int readInteger(const std::string& section, const std::string& key, int fallback) const;
    bool readBoolean(const std::string& section, const std::string& key, bool fallback) const;

    // Each write has reached the file when it returns; a refused one throws SettingsWriteError.
    void writeText(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeBoolean(const std::string& section, const std::string& key, bool value);

    std::vector<std::string> sectionNames() const;
    std::vector<SettingsEntry> sectionEntries(const std::string& section) const;
    bool sectionExists(const std::string& section) const;
    bool keyExists(const std::string& section, const std::string& key) const;
    void eraseSection(const std::string& section);
    void deleteKey(const std::string& section, const std::string& key);

    // Reads and writes of the rows of the key table, with the row's default. `entry` and
    // `item` name the variable parts of a row (see settingName).
    std::string readText(SettingKey id, std::string_view entry = {},
                         std::string_view item = {}) const;
    int readInteger(SettingKey id, std::string_view entry = {}, std::string_view item = {}) const;
    bool readBoolean(SettingKey id, std::string_view entry = {}, std::string_view item = {}) const;
    bool keyExists(SettingKey id, std::string_view entry = {}, std::string_view item = {}) const;
    void writeText(SettingKey id, const std::string& value, std::string_view entry = {},
                   std::string_view item = {});
    void writeInteger(SettingKey id, int value, std::string_view entry = {},
                      std::string_view item = {});
    void writeBoolean(SettingKey id, bool value, std::string_view entry = {},
                      std::string_view item = {});
    void deleteKey(SettingKey id, std::string_view entry = {}, std::string_view item = {});

  private:
    std::string path_;
};

// The integer a settings text stands for, as readInteger reads it; the fallback when none.
int settingsInteger(std::string_view text, int fallback);

}  // namespace tarnwick
