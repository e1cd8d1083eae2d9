// How the SANE client reports progress and errors, and the report texts of SANE status codes.
#pragma once

#include <functional>
#include <string>

namespace tarnwick {

// message: the translated text ("0" asks the window for its idle banner); showError: show it
// as an error box; fatal: the connection and the open device cannot be used any further.
using StatusCallback = std::function<void(const std::string& message, bool showError, bool fatal)>;

// The translated report text of a SANE status code; unknown codes get a numbered text.
std::string statusText(int code);

// Reports through a callback only when one is assigned; otherwise the report is dropped.
void report(const StatusCallback& callback, const std::string& message, bool showError, bool fatal);

// The translated format filled with one value, as the printf-style report texts need.
std::string formatText(const char* format, long long value);
std::string formatText(const char* format, const std::string& value);

}  // namespace tarnwick
