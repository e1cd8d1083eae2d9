// Where catalog files are found: appended to the module file, then on disk beside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/localisation/catalog_table.h"

namespace tarnwick {

class CatalogSources {
  public:
    // Reads the module's appended table once; a module without one (or none at all) has only
    // the disk beside it.
    explicit CatalogSources(const std::filesystem::path& modulePath);

    // The file of that name ("\\" separated, relative to the module's folder) among the
    // appended ones (names compared without regard to case), or on disk beside the module.
    std::optional<std::string> readAppended(std::string_view name) const;
    std::optional<std::string> readBeside(std::string_view name) const;

    const std::vector<EmbeddedFile>& appended() const { return appended_; }
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path module_;
    std::filesystem::path folder_;
    std::vector<EmbeddedFile> appended_;
};

// Reads a whole file; nothing when it cannot be read or is larger than the limit.
std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::uint64_t limit);

}  // namespace tarnwick
