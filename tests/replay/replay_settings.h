// What the environment asks of the replay backend.
#pragma once

#include <sane/sane.h>

#include <optional>
#include <string>

namespace tarnwick::replay {

struct ReplaySettings {
    std::string listing;  // SANE_REPLAY_DUMP
    std::string name;     // SANE_REPLAY_NAME: the device's name instead of the listing's
    long pages = 10;      // SANE_REPLAY_PAGES: feeder pages per open
    SANE_Status readStatus = SANE_STATUS_GOOD;   // SANE_REPLAY_STATUS=NAME
    SANE_Status startStatus = SANE_STATUS_GOOD;  // SANE_REPLAY_STATUS=NAME:MS
    long startMilliseconds = 0;
};

// From the environment; false with `error` set when a variable is missing or malformed.
bool readSettings(ReplaySettings& settings, std::string& error);

// "JAMMED" or "SANE_STATUS_JAMMED".
std::optional<SANE_Status> statusNamed(const std::string& name);

}  // namespace tarnwick::replay
