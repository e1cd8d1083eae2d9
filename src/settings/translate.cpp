#include "settings/translate.h"

namespace tarnwick {

// Until the catalogs are read, every text stays as written.
std::string tr(const char* text) { return text; }
std::string trSane(const std::string& text) { return text; }

}  // namespace tarnwick
