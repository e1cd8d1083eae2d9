#include "settings/settings_location.h"

#include "platform/environment_expand.h"
#include "platform/file_attributes.h"
#include "platform/path_conventions.h"
#include "platform/product_name.h"

namespace tarnwick {
namespace {

std::string candidate(std::initializer_list<std::string> parts) {
    const std::string separator(1, platform::folderSeparator());
    std::string path;
    for (const std::string& part : parts) path += (path.empty() ? "" : separator) + part;
    return platform::expandEnvironmentStrings(path);
}

// Values go over as text, unchanged, section by section in file order.
void copySettings(const SettingsFile& from, SettingsFile& to) {
    for (const std::string& section : from.sectionNames())
        for (const auto& [key, value] : from.sectionEntries(section))
            to.writeText(section, key, value);
}

}  // namespace

std::vector<std::string> globalSettingsCandidates(const std::optional<std::string>& productName) {
    std::vector<std::string> candidates{candidate({"%WINDIR%", "tarnwick.ini"}),
                                        candidate({"%ALLUSERSPROFILE%", "tarnwick.ini"})};
    if (productName && !productName->empty())
        candidates.push_back(candidate({"%WINDIR%", *productName + ".ini"}));
    candidates.push_back(candidate({"%APPDATA%", "Tarnwick", "tarnwick.ini"}));
    return candidates;
}

std::string userSettingsCandidate() {
    return candidate({"%" + platform::userFolderVariable() + "%", "tarnwick.ini"});
}

std::unique_ptr<SettingsFile> openSettingsFile() {
    std::unique_ptr<SettingsFile> global;
    for (const std::string& path : globalSettingsCandidates(platform::moduleProductName())) {
        if (platform::fileExists(path)) {
            global = std::make_unique<SettingsFile>(path);
            break;
        }
    }
    if (global && !global->readBoolean(SettingKey::generalIniCopyGlobalToUser)) return global;

    auto user = std::make_unique<SettingsFile>(userSettingsCandidate());
    if (global && !user->exists()) copySettings(*global, *user);
    return user;
}

}  // namespace tarnwick
