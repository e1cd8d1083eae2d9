#include "session/scan_batch.h"

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

class ScanBatchTest : public ::testing::Test {
  protected:
    void setRegions(int count) {
        regions.regionCount = count;
        for (int i = 0; i < count; ++i)
            regions.regions[static_cast<std::size_t>(i)] = Region{i, i, i + 10, i + 10};
    }
    Region region(int i) const { return regions.regions[static_cast<std::size_t>(i)]; }

    Regions regions;
    Region scanArea{0, 0, 200, 300};
    bool feederInUse = false;
    int feederTests = 0;
    ScanBatch batch{regions, scanArea, [this] {
                        ++feederTests;
                        return feederInUse;
                    }};
};

TEST_F(ScanBatchTest, RegionsAreWalkedOncePerBatchAndThenFromTheFirstAgain) {
    setRegions(3);
    regions.regionIndex = 2;  // selected by hovering
    EXPECT_FALSE(batch.begin([] { return 5; }));
    EXPECT_EQ(batch.pending(), 3);
    EXPECT_EQ(batch.next(), region(0));
    for (int i : {0, 1, 2, 0}) EXPECT_EQ(batch.take(), region(i));
    EXPECT_EQ(feederTests, 1) << "the feeder decision is taken once a batch";
    EXPECT_FALSE(batch.counted());
    EXPECT_FALSE(batch.counted());
    EXPECT_TRUE(batch.counted());
    EXPECT_FALSE(batch.counted()) << "an ended batch counts no further";
    EXPECT_EQ(batch.pending(), 0);
}

TEST_F(ScanBatchTest, FeederPagesAllTakeRegionZero) {
    setRegions(2);
    feederInUse = true;
    EXPECT_TRUE(batch.begin([] { return -1; }));
    EXPECT_EQ(batch.pending(), -1);
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(batch.take(), region(0));
        EXPECT_FALSE(batch.counted()) << "-1: until the feeder is empty";
    }
    EXPECT_EQ(feederTests, 1);
    batch.fail();
    EXPECT_EQ(batch.pending(), 0);
    feederInUse = false;
    EXPECT_EQ(batch.next(), region(0));
    EXPECT_EQ(batch.next(), region(0));
    EXPECT_EQ(feederTests, 3) << "a look outside a batch decides nothing";
    EXPECT_EQ(batch.take(), region(0));
    EXPECT_EQ(batch.take(), region(1)) << "the first image of a new series decides";
    EXPECT_EQ(feederTests, 4);
}

TEST_F(ScanBatchTest, WithoutRegionsEveryImageIsTheWholeArea) {
    EXPECT_FALSE(batch.begin([] { return 5; }));
    EXPECT_EQ(batch.pending(), 1);
    EXPECT_EQ(batch.take(), scanArea);
    EXPECT_TRUE(batch.counted());
    batch.setSingleRegion(Region{1, 2, 3, 4});
    EXPECT_EQ(batch.next(), (Region{1, 2, 3, 4}));
    EXPECT_EQ(regions.regionCount, 1);
}

// The application's count caps every batch; a feeder batch then asks for no page count.
TEST_F(ScanBatchTest, TheLimitCapsRegionsAndFeederPages) {
    struct Case {
        bool feeder;
        int regions, limit, feederPages, pending;
    };
    const Case cases[] = {
        {false, 3, 2, 0, 2}, {false, 1, 3, 0, 1}, {false, 0, 3, 0, 1},
        {true, 1, 3, -1, 3}, {true, 1, 3, 10, 3}, {true, 1, -1, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        setRegions(c.regions);
        feederInUse = c.feeder;
        batch.setLimit(c.limit);
        bool asked = false;
        batch.begin([&] {
            asked = true;
            return c.feederPages;
        });
        EXPECT_EQ(batch.pending(), c.pending);
        EXPECT_EQ(asked, c.feeder && c.limit < 0);
        EXPECT_EQ(batch.feederBatch(), c.feeder);
    }
}

}  // namespace
