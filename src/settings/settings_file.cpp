#include "settings/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "base/translate.h"
#include "base/whole_number.h"
#include "platform/file_attributes.h"

namespace tarnwick {
namespace {

std::string writeErrorText(const std::string& path) {
    std::string message = tr("Unable to write to %s");
    std::size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, path);
    return message;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool contains(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& candidate) { return sameName(candidate, name); });
}

}  // namespace

SettingsWriteError::SettingsWriteError(const std::string& path)
    : std::runtime_error(writeErrorText(path)) {}

int settingsInteger(std::string_view text, int fallback) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        // Hexadecimal texts give the 32-bit pattern: "0xFFFFFFFF" is -1.
        std::uint32_t value = 0;
        auto [end, error] = std::from_chars(first + 2, last, value, 16);
        if (error != std::errc() || end != last) return fallback;
        return static_cast<int>(value);
    }
    return base::parseWhole<int>(text, base::PlusSign::accepted).value_or(fallback);
}

bool SettingsFile::exists() const {
    return platform::fileExists(path_);
}

bool SettingsFile::isReadOnly() const {
    return platform::fileIsReadOnly(path_);
}

std::string SettingsFile::readText(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
    return platform::readProfileString(path_, section, key, fallback);
}

int SettingsFile::readInteger(const std::string& section, const std::string& key,
                              int fallback) const {
    // A key that is present but empty reads as no number, so as the default.
    return settingsInteger(readText(section, key, ""), fallback);
}

bool SettingsFile::readBoolean(const std::string& section, const std::string& key,
                               bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

void SettingsFile::writeText(const std::string& section, const std::string& key,
                             const std::string& value) {
    if (!platform::writeProfileString(path_, section, key, value)) throw SettingsWriteError(path_);
}

void SettingsFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeText(section, key, std::to_string(value));
}

void SettingsFile::writeBoolean(const std::string& section, const std::string& key, bool value) {
    writeText(section, key, value ? "1" : "0");
}

std::vector<std::string> SettingsFile::sectionNames() const {
    return platform::profileSectionNames(path_);
}

std::vector<SettingsEntry> SettingsFile::sectionEntries(const std::string& section) const {
    return platform::profileSectionEntries(path_, section);
}

bool SettingsFile::sectionExists(const std::string& section) const {
    return contains(sectionNames(), section);
}

bool SettingsFile::keyExists(const std::string& section, const std::string& key) const {
    return contains(platform::profileKeyNames(path_, section), key);
}

void SettingsFile::eraseSection(const std::string& section) {
    if (!platform::eraseProfileSection(path_, section)) throw SettingsWriteError(path_);
}

void SettingsFile::deleteKey(const std::string& section, const std::string& key) {
    if (!platform::deleteProfileKey(path_, section, key)) throw SettingsWriteError(path_);
}

std::string SettingsFile::readText(SettingKey id, std::string_view entry,
                                   std::string_view item) const {
    SettingName name = settingName(id, entry, item);
    return readText(name.section, name.key, std::string(settingDefinition(id).defaultValue));
}

int SettingsFile::readInteger(SettingKey id, std::string_view entry, std::string_view item) const {
    SettingName name = settingName(id, entry, item);
    return readInteger(name.section, name.key,
                       settingsInteger(settingDefinition(id).defaultValue, 0));
}

bool SettingsFile::readBoolean(SettingKey id, std::string_view entry, std::string_view item) const {
    SettingName name = settingName(id, entry, item);
    return readBoolean(name.section, name.key,
                       settingsInteger(settingDefinition(id).defaultValue, 0) != 0);
}

bool SettingsFile::keyExists(SettingKey id, std::string_view entry, std::string_view item) const {
    SettingName name = settingName(id, entry, item);
    return keyExists(name.section, name.key);
}

void SettingsFile::writeText(SettingKey id, const std::string& value, std::string_view entry,
                             std::string_view item) {
    SettingName name = settingName(id, entry, item);
    writeText(name.section, name.key, value);
}

void SettingsFile::writeInteger(SettingKey id, int value, std::string_view entry,
                                std::string_view item) {
    SettingName name = settingName(id, entry, item);
    writeInteger(name.section, name.key, value);
}

void SettingsFile::writeBoolean(SettingKey id, bool value, std::string_view entry,
                                std::string_view item) {
    SettingName name = settingName(id, entry, item);
    writeBoolean(name.section, name.key, value);
}

void SettingsFile::deleteKey(SettingKey id, std::string_view entry, std::string_view item) {
    SettingName name = settingName(id, entry, item);
    deleteKey(name.section, name.key);
}

}  // namespace tarnwick
