#include "base/localisation/localisation.h"

#include <algorithm>

#include "base/localisation/catalog_table.h"
#include "base/localisation/languages.h"

namespace tarnwick {
namespace {

constexpr std::size_t kMaxCodeLength = 32;

std::string catalogName(std::string_view code, std::string_view domain) {
    return "locale\\" + std::string(code) + "\\LC_MESSAGES\\" + std::string(domain) + ".mo";
}

// The appended file first, then the one on disk; a damaged catalog counts as missing.
std::optional<MoCatalog> parseFrom(const CatalogSources& sources, const std::string& name) {
    if (auto bytes = sources.readAppended(name))
        if (auto catalog = MoCatalog::parse(std::move(*bytes))) return catalog;
    if (auto bytes = sources.readBeside(name)) return MoCatalog::parse(std::move(*bytes));
    return std::nullopt;
}

}  // namespace

bool isLanguageCode(std::string_view code) {
    if (code.empty() || code.size() > kMaxCodeLength) return false;
    return std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '@';
    });
}

Localisation::Localisation(const std::filesystem::path& modulePath, std::string language)
    : sources_(modulePath), language_(std::move(language)) {}

void Localisation::useLanguage(std::string code) {
    if (code == language_) return;
    language_ = std::move(code);
    loaded_.clear();
}

std::string Localisation::translate(std::string_view domain, std::string_view text) {
    const auto& found = catalog(domain);
    if (found)
        if (auto translation = found->find(text)) return std::string(*translation);
    return std::string(text);
}

const std::optional<MoCatalog>& Localisation::catalog(std::string_view domain) {
    auto it = loaded_.find(domain);
    if (it == loaded_.end()) it = loaded_.emplace(std::string(domain), findCatalog(domain)).first;
    return it->second;
}

std::optional<MoCatalog> Localisation::findCatalog(std::string_view domain) const {
    if (domain == kLanguagesDomain) return parseFrom(sources_, "languages.mo");
    if (!isLanguageCode(language_)) return std::nullopt;
    if (auto found = parseFrom(sources_, catalogName(language_, domain))) return found;
    const std::string_view base = std::string_view(language_).substr(0, 2);
    if (language_.size() > 2)
        if (auto found = parseFrom(sources_, catalogName(base, domain))) return found;
    // A language the module carries only for a country: es and es_MX find es_ES.
    for (const std::string& code : languages())
        if (code.size() > 2 && code[2] == '_' && sameName(code.substr(0, 2), base))
            if (auto found = parseFrom(sources_, catalogName(code, domain))) return found;
    return std::nullopt;
}

std::vector<std::string> Localisation::languages() const {
    return languageList(diskLanguageFolders(sources_.folder()), sources_.appended());
}

std::string Localisation::languageName(const std::string& code) {
    const auto& names = catalog(kLanguagesDomain);
    if (!names) return code;
    if (auto name = names->find(code)) return std::string(*name);
    // The catalog keys its codes in lower case ("zh_cn") while the list shows "zh_CN".
    std::string lowered = code;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (auto name = names->find(lowered)) return std::string(*name);
    return code;
}

}  // namespace tarnwick
