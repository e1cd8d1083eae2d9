// Which file on the machine is the settings file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_file.h"

namespace tarnwick {

// The machine-wide candidates in the order they are tried, environment variables expanded; the
// one named after the product is left out when there is no product name.
std::vector<std::string> globalSettingsCandidates(const std::optional<std::string>& productName);
// The per-user file, expanded.
std::string userSettingsCandidate();

// A new accessor for the settings file, never null: the first machine-wide candidate that
// exists, or the per-user file (existing or not) when there is none or when the machine-wide
// file sets General/INICopyGlobalToUser; a missing per-user file is then seeded once from the
// machine-wide one. Throws SettingsWriteError when that seeding is refused.
std::unique_ptr<SettingsFile> openSettingsFile();

}  // namespace tarnwick
