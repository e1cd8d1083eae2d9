// The debug log "tarnwick.dbg": one trace function for every unit, off unless switched on.
#pragma once

#include <filesystem>
#include <string>
#include <type_traits>

namespace tarnwick {

bool debugLogEnabled();

// Opens the log in `folder` (the current folder when empty) for appending and writes the start
// line. Does nothing while a session is running.
void startDebugLog(const std::filesystem::path& folder = {});
// Writes the end line and closes the log. Does nothing when no session is running.
void stopDebugLog();

// Formats one line onto the log with printf semantics; nothing is added to it.
void writeDebugLog(const char* format, ...);

namespace detail {
template <typename T>
constexpr bool isPrintfArgument =
    std::is_arithmetic_v<T> || std::is_pointer_v<T> || std::is_enum_v<T>;
}

// The trace call: `format` normally comes from tr(). The switch is tested before anything is
// formatted. Text arguments are passed as char pointers (use c_str()).
template <typename... Args>
void debugLog(const char* format, Args... args) {
    static_assert((detail::isPrintfArgument<Args> && ...),
                  "debugLog arguments must be numbers or C strings");
    if (debugLogEnabled()) writeDebugLog(format, args...);
}

template <typename... Args>
void debugLog(const std::string& format, Args... args) {
    debugLog(format.c_str(), args...);
}

// A log session for the lifetime of an object: the module keeps one from load to unload
// when built with the diagnostic switch.
class DebugLogSession {
  public:
    explicit DebugLogSession(bool on);
    ~DebugLogSession();
    DebugLogSession(const DebugLogSession&) = delete;
    DebugLogSession& operator=(const DebugLogSession&) = delete;

  private:
    bool started_;
};

}  // namespace tarnwick
