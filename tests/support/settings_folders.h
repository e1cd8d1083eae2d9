// The settings folders of one test: WINDIR, ALLUSERSPROFILE, APPDATA, USERPROFILE and HOME name
// folders of a private temporary folder, so that no test reads or writes the machine's own.
#pragma once

#include <string>

#include "support/scoped_environment.h"

namespace testing_support {

class SettingsFolders {
  public:
    SettingsFolders();
    // Makes the settings file writable again, so that the folder can be removed.
    ~SettingsFolders();

    // The per-user file: the settings file when no machine-wide one exists.
    std::string settingsPath() const { return folder.file("USERPROFILE/tarnwick.ini"); }
    void writeSettings(const std::string& content) const;
    void makeReadOnly() const;

    TemporaryFolder folder;
    ScopedEnvironment environment;
};

}  // namespace testing_support
