#include "session/scan_policy.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(ScanPolicy, FeederSelection) {
    EXPECT_TRUE(feederSelected(true, false, "yes"));
    EXPECT_FALSE(feederSelected(true, false, "no"));
    // An option named for the flatbed ("no-adf") is in use when it is clear.
    EXPECT_TRUE(feederSelected(true, true, "no"));
    EXPECT_FALSE(feederSelected(true, true, "yes"));
    EXPECT_TRUE(feederSelected(false, false, "Automatic Document Feeder"));
    EXPECT_TRUE(feederSelected(false, false, "Duplex ADF front"));
    // Feeders named by other words than ADF.
    EXPECT_TRUE(feederSelected(false, false, "Document Feeder"));
    EXPECT_TRUE(feederSelected(false, false, "Duplex"));
    EXPECT_FALSE(feederSelected(false, false, "Flatbed"));
    EXPECT_FALSE(feederSelected(false, false, ""));
}

TEST(ScanPolicy, PageAnswers) {
    EXPECT_EQ(pagesAnswer("3"), 3);
    EXPECT_EQ(pagesAnswer(" 12 "), 12);
    EXPECT_EQ(pagesAnswer("-2"), -2);
    EXPECT_EQ(pagesAnswer("three"), 0);
    EXPECT_EQ(pagesAnswer("3 pages"), 0);
    EXPECT_EQ(pagesAnswer(""), 0);
    EXPECT_EQ(pagesAnswer("99999999999"), 0);
}
