#include "options/source_entries.h"

#include "base/text.h"

namespace tarnwick {

SourceKind sourceKind(const std::string& entry) {
    const std::string lower = base::lowered(entry);
    const auto has = [&](const char* word) { return lower.find(word) != std::string::npos; };
    // A duplex entry is a feeder entry too; it is told apart first.
    if (has("duplex")) return SourceKind::duplex;
    if (has("adf") || has("feeder")) return SourceKind::feeder;
    // "Document Table" (utsushi) and "Normal" (avision) are flatbeds too; film units are not.
    if (has("flatbed") || has("document table") || lower == "normal") return SourceKind::flatbed;
    return SourceKind::other;
}

SourceEntries sourceEntries(const std::vector<std::string>& choices) {
    SourceEntries entries;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        int* first = nullptr;
        switch (sourceKind(choices[i])) {
            case SourceKind::flatbed:
                first = &entries.flatbed;
                break;
            case SourceKind::feeder:
                first = &entries.feeder;
                break;
            case SourceKind::duplex:
                first = &entries.duplex;
                break;
            case SourceKind::other:
                break;
        }
        if (first && *first < 0) *first = static_cast<int>(i);
    }
    return entries;
}

}  // namespace tarnwick
