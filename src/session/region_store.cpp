#include "session/region_store.h"

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "base/text.h"
#include "base/translate.h"
#include "base/whole_number.h"

namespace tarnwick {

namespace {

constexpr const char* kSection = "Regions";
constexpr const char* kDefaultKey = "Default";

bool sameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// "x1;y1;x2;y2" and anything after a fourth ";"; none when a part is missing or no number.
std::optional<Region> parseRegion(const std::string& text) {
    const std::vector<std::string> parts = base::split(text, ';');
    if (parts.size() < 4) return std::nullopt;
    int values[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<int> value = base::parseWhole<int>(parts[i]);
        if (!value) return std::nullopt;
        values[i] = *value;
    }
    return Region{values[0], values[1], values[2], values[3]};
}

}  // namespace

void storeRegions(SettingsFile& file, const Regions& regions) {
    try {
        const std::string preset = file.readText(kSection, kDefaultKey, "");
        file.eraseSection(kSection);
        for (int i = 0; i < regions.regionCount; ++i) {
            if (i == regions.defaultRegion) continue;
            const Region& g = regions.regions[static_cast<std::size_t>(i)];
            file.writeText(kSection, std::to_string(i),
                           std::to_string(g.x1) + ";" + std::to_string(g.y1) + ";" +
                               std::to_string(g.x2) + ";" + std::to_string(g.y2));
        }
        if (!preset.empty()) file.writeText(kSection, kDefaultKey, preset);
    } catch (const SettingsWriteError&) {
    }
}

void restoreRegions(const SettingsFile& file, Regions& regions, bool saveRegions,
                    const FitSource& fit) {
    if (!file.sectionExists(kSection)) return;
    const std::vector<SettingsEntry> entries = file.sectionEntries(kSection);
    regions.regionCount = 0;
    if (entries.size() == 1 && sameKey(entries[0].first, kDefaultKey)) {
        regions.setSize(file.readText(kSection, kDefaultKey, ""), fit);
        regions.timerOn = true;
        regions.defaultRegion = regions.regionIndex;
        return;
    }
    if (!saveRegions) return;
    // An entry's position in the file, not its own key, names the key that is read, so a file
    // without entry "0" restores one region fewer.
    for (std::size_t p = 0; p < entries.size() && regions.regionCount < Regions::kSlots; ++p) {
        if (sameKey(entries[p].first, kDefaultKey)) continue;
        std::optional<Region> g = parseRegion(file.readText(kSection, std::to_string(p), ""));
        if (!g || *g == Region{}) continue;
        const int index = regions.regionCount;
        debugLog(tr("\tSetting region %d to (%d, %d, %d, %d) [1]\n"), index, g->x1, g->x2, g->y1,
                 g->y2);
        regions.regions[static_cast<std::size_t>(index)] = *g;
        regions.regionIndex = index;
        ++regions.regionCount;
    }
    regions.timerOn = true;
}

}  // namespace tarnwick
