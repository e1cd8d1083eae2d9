#include "support/settings_folders.h"

#include <filesystem>

namespace testing_support {

SettingsFolders::SettingsFolders() {
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA", "USERPROFILE", "HOME"}) {
        std::filesystem::create_directories(folder.path() / name);
        environment.set(name, folder.file(name));
    }
}

SettingsFolders::~SettingsFolders() {
    std::error_code ignored;
    std::filesystem::permissions(settingsPath(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
}

void SettingsFolders::writeSettings(const std::string& content) const {
    writeWholeFile(settingsPath(), content);
}

void SettingsFolders::makeReadOnly() const {
    std::filesystem::permissions(settingsPath(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
}

}  // namespace testing_support
