// Translation of the system's texts. Texts are UTF-8 throughout the model code.
#pragma once

#include <string>

namespace tarnwick {

// A program text through the default catalog; the text itself when no translation exists.
std::string tr(const char* text);
// A text that came from the daemon, through the "sane-backends" catalog.
std::string trSane(const std::string& text);

// Marks a text for extraction where it is translated later (tables of texts).
constexpr const char* N_(const char* text) { return text; }

}  // namespace tarnwick
