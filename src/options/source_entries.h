// What the entries of a device's "source" list stand for: the flatbed, a document feeder, or a
// feeder that scans both sides. Devices name them freely ("ADF", "Automatic Document Feeder",
// "ADF Duplex", "Flatbed", "Document Table", "Normal"), so the words decide; a transparency
// unit, "Auto" and the like are none of them.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

enum class SourceKind { other, flatbed, feeder, duplex };

SourceKind sourceKind(const std::string& entry);

// The first entry of each kind, -1 where the list has none.
struct SourceEntries {
    int flatbed = -1, feeder = -1, duplex = -1;
    bool hasFeeder() const { return feeder >= 0 || duplex >= 0; }
};

SourceEntries sourceEntries(const std::vector<std::string>& choices);

}  // namespace tarnwick
