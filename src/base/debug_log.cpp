#include "base/debug_log.h"

#include <cstdarg>
#include <cstdio>

#include "base/translate.h"

namespace tarnwick {

namespace {

FILE* logStream = nullptr;

constexpr const char* kLogFileName = "tarnwick.dbg";

// The version as the About box shows it: "v" and two decimals.
std::string versionText() {
    char text[32];
    std::snprintf(text, sizeof text, "v%d.%02d", TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR);
    return text;
}

}  // namespace

bool debugLogEnabled() {
    return logStream != nullptr;
}

void startDebugLog(const std::filesystem::path& folder) {
    if (logStream) return;
    const std::filesystem::path file = folder.empty() ? kLogFileName : folder / kLogFileName;
    logStream = std::fopen(file.string().c_str(), "a+");
    if (!logStream) return;
    writeDebugLog(tr("Debug session started. Version is %s\n").c_str(), versionText().c_str());
}

void stopDebugLog() {
    if (!logStream) return;
    writeDebugLog(tr("Debug session ended\n\n").c_str());
    std::fclose(logStream);
    logStream = nullptr;
}

void writeDebugLog(const char* format, ...) {
    if (!logStream || !format) return;
    // UTF-8 throughout: the arguments are UTF-8 too, and one file must not mix two encodings.
    va_list args;
    va_start(args, format);
    std::vfprintf(logStream, format, args);
    va_end(args);
}

DebugLogSession::DebugLogSession(bool on) : started_(on && !debugLogEnabled()) {
    if (started_) startDebugLog();
}

DebugLogSession::~DebugLogSession() {
    if (started_) stopDebugLog();
}

}  // namespace tarnwick
