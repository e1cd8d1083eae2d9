// The helpers saned takes from the SANE library besides its API: the configuration files and the
// debug messages. The replay backend stands in for the whole library, so it serves them too.
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define REPLAY_EXPORT extern "C" __attribute__((visibility("default")))

// As SANE looks for them: the folders of SANE_CONFIG_DIR (a trailing ':' adds the defaults),
// else the current folder and /etc/sane.d.
REPLAY_EXPORT FILE* sanei_config_open(const char* filename) {
    const char* variable = std::getenv("SANE_CONFIG_DIR");
    std::string folders = variable != nullptr ? variable : ":";
    if (!folders.empty() && folders.back() == ':') folders += ".:/etc/sane.d";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t colon = folders.find(':', start);
        if (colon == std::string::npos) colon = folders.size();
        std::string folder = folders.substr(start, colon - start);
        start = colon + 1;
        if (folder.empty()) continue;
        if (FILE* file = std::fopen((folder + "/" + filename).c_str(), "r")) return file;
    }
    return nullptr;
}

// One line without its surrounding white space.
REPLAY_EXPORT char* sanei_config_read(char* str, int n, FILE* stream) {
    if (std::fgets(str, n, stream) == nullptr) return nullptr;
    std::size_t length = std::strlen(str);
    while (length > 0 && std::isspace(static_cast<unsigned char>(str[length - 1]))) --length;
    str[length] = '\0';
    std::size_t start = 0;
    while (start < length && std::isspace(static_cast<unsigned char>(str[start]))) ++start;
    std::memmove(str, str + start, length - start + 1);
    return str;
}

REPLAY_EXPORT const char* sanei_config_skip_whitespace(const char* str) {
    while (str != nullptr && *str != '\0' && std::isspace(static_cast<unsigned char>(*str))) ++str;
    return str;
}

// SANE_DEBUG_<BACKEND> sets the level, as in SANE.
REPLAY_EXPORT void sanei_init_debug(const char* backend, int* level) {
    std::string variable = "SANE_DEBUG_";
    for (const char* c = backend; *c != '\0'; ++c)
        variable += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    const char* value = std::getenv(variable.c_str());
    *level = value != nullptr ? std::atoi(value) : 0;
}

REPLAY_EXPORT void sanei_debug_msg(int level, int max_level, const char* backend, const char* fmt,
                                   va_list ap) {
    if (level > max_level) return;
    std::fprintf(stderr, "[%s] ", backend);
    std::vfprintf(stderr, fmt, ap);
}
