// The languages that have a default catalog, for the settings dialog's language list.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/localisation/catalog_table.h"

namespace tarnwick {

// Names of the folders below "locale" in the folder that hold "LC_MESSAGES/default.mo", sorted.
std::vector<std::string> diskLanguageFolders(const std::filesystem::path& folder);

// The disk codes in lower case, then the codes of the appended
// "locale\\<code>\\LC_MESSAGES\\default.mo" files in table order (lower case, upper case from the
// fourth character on: "zh_CN"); a code already listed, compared without regard to case, is not
// added again.
std::vector<std::string> languageList(const std::vector<std::string>& diskFolders,
                                      const std::vector<EmbeddedFile>& appended);

}  // namespace tarnwick
