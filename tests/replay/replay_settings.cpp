#include "replay_settings.h"

#include <cstdlib>
#include <utility>

namespace tarnwick::replay {
namespace {

const std::pair<const char*, SANE_Status> kStatuses[] = {
    {"GOOD", SANE_STATUS_GOOD},
    {"UNSUPPORTED", SANE_STATUS_UNSUPPORTED},
    {"CANCELLED", SANE_STATUS_CANCELLED},
    {"DEVICE_BUSY", SANE_STATUS_DEVICE_BUSY},
    {"INVAL", SANE_STATUS_INVAL},
    {"EOF", SANE_STATUS_EOF},
    {"JAMMED", SANE_STATUS_JAMMED},
    {"NO_DOCS", SANE_STATUS_NO_DOCS},
    {"COVER_OPEN", SANE_STATUS_COVER_OPEN},
    {"IO_ERROR", SANE_STATUS_IO_ERROR},
    {"NO_MEM", SANE_STATUS_NO_MEM},
    {"ACCESS_DENIED", SANE_STATUS_ACCESS_DENIED},
};

// A whole number in [low, high], or nothing.
std::optional<long> wholeNumber(const std::string& text, long low, long high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace

std::optional<SANE_Status> statusNamed(const std::string& name) {
    std::string bare = name.rfind("SANE_STATUS_", 0) == 0 ? name.substr(12) : name;
    for (const auto& [known, status] : kStatuses)
        if (bare == known) return status;
    return std::nullopt;
}

bool readSettings(ReplaySettings& settings, std::string& error) {
    const char* listing = std::getenv("SANE_REPLAY_DUMP");
    if (listing == nullptr || *listing == '\0') {
        error = "SANE_REPLAY_DUMP names no listing";
        return false;
    }
    settings.listing = listing;
    if (const char* name = std::getenv("SANE_REPLAY_NAME")) settings.name = name;
    if (const char* pages = std::getenv("SANE_REPLAY_PAGES")) {
        auto count = wholeNumber(pages, 0, 1000000);
        if (!count) {
            error = "SANE_REPLAY_PAGES is not a count of pages: " + std::string(pages);
            return false;
        }
        settings.pages = *count;
    }
    if (const char* text = std::getenv("SANE_REPLAY_STATUS"); text != nullptr && *text != '\0') {
        std::string value = text;
        std::size_t colon = value.find(':');
        auto status = statusNamed(value.substr(0, colon));
        std::optional<long> time;
        if (colon != std::string::npos) time = wholeNumber(value.substr(colon + 1), 0, 3600000);
        if (!status || (colon != std::string::npos && !time)) {
            error = "SANE_REPLAY_STATUS is neither a status nor STATUS:MILLISECONDS: " + value;
            return false;
        }
        if (time) {
            settings.startStatus = *status;
            settings.startMilliseconds = *time;
        } else {
            settings.readStatus = *status;
        }
    }
    return true;
}

}  // namespace tarnwick::replay
