#include "base/localisation/languages.h"

#include <algorithm>
#include <string_view>

namespace tarnwick {
namespace {

constexpr std::string_view kPrefix = "locale\\";
constexpr std::string_view kSuffix = "\\LC_MESSAGES\\default.mo";

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void addOnce(std::vector<std::string>& list, std::string code) {
    if (code.empty()) return;
    for (const std::string& known : list)
        if (sameName(known, code)) return;
    list.push_back(std::move(code));
}

}  // namespace

std::vector<std::string> diskLanguageFolders(const std::filesystem::path& folder) {
    std::vector<std::string> codes;
    if (folder.empty()) return codes;  // an unknown module folder is not the current folder
    std::error_code error;
    const std::filesystem::path locale = folder / "locale";
    for (std::filesystem::directory_iterator it(locale, error), end; !error && it != end;
         it.increment(error)) {
        if (std::filesystem::is_regular_file(it->path() / "LC_MESSAGES" / "default.mo", error))
            codes.push_back(it->path().filename().string());
    }
    std::sort(codes.begin(), codes.end());
    return codes;
}

std::vector<std::string> languageList(const std::vector<std::string>& diskFolders,
                                      const std::vector<EmbeddedFile>& appended) {
    std::vector<std::string> list;
    for (std::string code : diskFolders) {
        std::transform(code.begin(), code.end(), code.begin(), lower);
        addOnce(list, std::move(code));
    }
    for (const EmbeddedFile& file : appended) {
        const std::string_view name = file.name;
        if (name.size() <= kPrefix.size() + kSuffix.size()) continue;
        if (!sameName(name.substr(0, kPrefix.size()), kPrefix) ||
            !sameName(name.substr(name.size() - kSuffix.size()), kSuffix))
            continue;
        std::string code(
            name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size()));
        if (code.find('\\') != code.npos) continue;
        for (std::size_t i = 0; i < code.size(); ++i)
            code[i] = i < 3 ? lower(code[i]) : upper(code[i]);
        addOnce(list, std::move(code));
    }
    return list;
}

}  // namespace tarnwick
