#include "sane/status.h"

#include <cstdio>
#include <vector>

#include "base/translate.h"

namespace tarnwick {

namespace {

constexpr const char* kStatusTexts[] = {
    N_("Success"),
    N_("Operation not supported"),
    N_("Operation was cancelled"),
    N_("Device busy"),
    N_("Invalid argument (usually an invalid option value)"),
    N_("End of file reached"),
    N_("Document feeder jammed"),
    N_("Document feeder out of documents"),
    N_("Scanner cover is open"),
    N_("Error during device I/O"),
    N_("Out of memory"),
    N_("Access to resource has been denied"),
};

template <class Value>
std::string fill(const char* format, Value value) {
    std::string translated = tr(format);
    int size = std::snprintf(nullptr, 0, translated.c_str(), value);
    if (size < 0) return translated;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::snprintf(buffer.data(), buffer.size(), translated.c_str(), value);
    return std::string(buffer.data(), static_cast<std::size_t>(size));
}

}  // namespace

std::string statusText(int code) {
    if (code >= 0 && code < static_cast<int>(std::size(kStatusTexts)))
        return tr(kStatusTexts[code]);
    return formatText("Unknown SANE status code %d", code);
}

void report(const StatusCallback& callback, const std::string& message, bool showError,
            bool fatal) {
    if (callback) callback(message, showError, fatal);
}

// The formats take %d or %s; a long long is narrowed for %d as every reported value is a word.
std::string formatText(const char* format, long long value) {
    return fill(format, static_cast<int>(value));
}

std::string formatText(const char* format, const std::string& value) {
    return fill(format, value.c_str());
}

}  // namespace tarnwick
