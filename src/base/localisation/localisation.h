// Translation through the catalogs of one module: the current language and the three domains.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/localisation/catalog_sources.h"
#include "base/localisation/mo_catalog.h"

namespace tarnwick {

inline constexpr std::string_view kDefaultDomain = "default";
inline constexpr std::string_view kSaneDomain = "sane-backends";
inline constexpr std::string_view kLanguagesDomain = "isotolanguagenames";

class Localisation {
  public:
    Localisation(const std::filesystem::path& modulePath, std::string language);

    // Makes the code current for every domain; a code without catalogs leaves texts as written.
    void useLanguage(std::string code);
    const std::string& language() const { return language_; }

    // The text's translation in the domain for the current language, or the text itself.
    std::string translate(std::string_view domain, std::string_view text);

    // Codes of the languages that have a default catalog, disk first, then appended.
    std::vector<std::string> languages() const;
    // The code's name from the languages catalog; the code itself when it has none.
    std::string languageName(const std::string& code);

  private:
    const std::optional<MoCatalog>& catalog(std::string_view domain);
    std::optional<MoCatalog> findCatalog(std::string_view domain) const;

    CatalogSources sources_;
    std::string language_;
    std::map<std::string, std::optional<MoCatalog>, std::less<>> loaded_;  // by domain
};

// A code is used in file names only when it is a plain locale name ("de", "zh_CN", "sr@latin").
bool isLanguageCode(std::string_view code);

}  // namespace tarnwick
