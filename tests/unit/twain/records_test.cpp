#include <gtest/gtest.h>

#include <cstddef>

#include "twain/records.h"

// Field offsets the way every TWAIN peer lays them out (2-byte packing).
TEST(Records, IdentityFieldOffsetsMatchThePackedLayout) {
    EXPECT_EQ(offsetof(TW_IDENTITY, Version), 4u);
    EXPECT_EQ(offsetof(TW_IDENTITY, ProtocolMajor), 46u);
    EXPECT_EQ(offsetof(TW_IDENTITY, SupportedGroups), 50u);
    EXPECT_EQ(offsetof(TW_IDENTITY, Manufacturer), 54u);
    EXPECT_EQ(offsetof(TW_IDENTITY, ProductFamily), 88u);
    EXPECT_EQ(offsetof(TW_IDENTITY, ProductName), 122u);
}

TEST(Records, TransferRecordsHaveNoPaddingAfterSixteenBitFields) {
    EXPECT_EQ(offsetof(TW_IMAGEMEMXFER, BytesPerRow), 2u);
    EXPECT_EQ(offsetof(TW_IMAGEMEMXFER, Memory), 26u);
    EXPECT_EQ(offsetof(TW_PENDINGXFERS, EOJ), 2u);
    EXPECT_EQ(offsetof(TW_ENUMERATION, ItemList), 14u);
    EXPECT_EQ(offsetof(TW_ARRAY, ItemList), 6u);
    EXPECT_EQ(offsetof(TW_IMAGEINFO, BitsPerPixel), 34u);
}
