// The regions in the settings file (section "Regions"): numbered entries "x1;y1;x2;y2" and a
// "Default" entry naming a size preset or "Find fit".
#pragma once

#include "session/regions.h"
#include "settings/settings_file.h"

namespace tarnwick {

// Replaces the section by one entry per region (the one made from "Default" left out) and
// keeps the "Default" entry. A refused write ends it silently.
void storeRegions(SettingsFile& file, const Regions& regions);

// Does nothing without the section. A section holding only "Default" makes that preset the
// one region (remembered as defaultRegion); otherwise, with saveRegions, the numbered entries
// come back, entries that are malformed or all zero skipped.
void restoreRegions(const SettingsFile& file, Regions& regions, bool saveRegions,
                    const FitSource& fit);

}  // namespace tarnwick
