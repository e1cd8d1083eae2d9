// The "source" entries of real backends, told apart by their words.
#include <gtest/gtest.h>

#include "options/source_entries.h"

namespace tarnwick {
namespace {

TEST(SourceEntries, RealBackendsEntries) {
    const std::pair<const char*, SourceKind> cases[] = {
        {"Flatbed", SourceKind::flatbed},
        {"FlatBed", SourceKind::flatbed},
        {"Document Table", SourceKind::flatbed},
        {"Normal", SourceKind::flatbed},
        {"ADF", SourceKind::feeder},
        {"ADF Front", SourceKind::feeder},
        {"ADF Back", SourceKind::feeder},
        {"Automatic Document Feeder(left aligned)", SourceKind::feeder},
        {"ADF Duplex", SourceKind::duplex},
        {"Automatic Document Feeder(centrally aligned,Duplex)", SourceKind::duplex},
        {"Transparency Unit", SourceKind::other},
        {"TPU8x10", SourceKind::other},
        {"Transparency Adapter", SourceKind::other},
        {"Auto", SourceKind::other},
        {"Normal Film", SourceKind::other},
    };
    for (const auto& [entry, kind] : cases) EXPECT_EQ(sourceKind(entry), kind) << entry;
    const SourceEntries avision = sourceEntries({"Normal", "ADF Front"});
    EXPECT_EQ(avision.flatbed, 0);
    EXPECT_EQ(avision.feeder, 1);
    EXPECT_EQ(avision.duplex, -1);
}

}  // namespace
}  // namespace tarnwick
