// Translation of the system's texts. Texts are UTF-8 throughout the model code.
//
// One language is current for the whole process. It starts as LANG (without its encoding) or the
// platform's user language, becomes the configured one when a settings dialog is created, and
// whatever the user picks after that. Catalogs are those appended to the module file, then those
// on disk beside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A program text through the default catalog; the text itself when no translation exists.
std::string tr(const char* text);
// A text that came from the daemon, through the "sane-backends" catalog.
std::string trSane(const std::string& text);
// A text through the catalog of a named domain ("default", "sane-backends", "isotolanguagenames").
std::string trDomain(std::string_view domain, const std::string& text);

// Marks a text for extraction where it is translated later (tables of texts).
constexpr const char* N_(const char* text) {
    return text;
}

// Makes the code current for every later lookup in every domain. A code without catalogs is
// still made current: texts then stay as written.
void useLanguage(const std::string& code);
std::string currentLanguage();

// The codes of the languages that have a default catalog, in list order ("cs", "de", "es_ES").
std::vector<std::string> languagesWithDefaultCatalog();
// The name to show for a code ("de" -> "Deutsch"); the code itself when the catalog has none.
std::string languageName(const std::string& code);

}  // namespace tarnwick
