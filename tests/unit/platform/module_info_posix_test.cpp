#include <gtest/gtest.h>

#include "platform/module_info.h"

// The Linux build has no resources: the identity texts are compiled in.
TEST(ModuleInfo, CarriesTheFourIdentityTextsAndNoVersionResourceOnLinux) {
    EXPECT_EQ(platform::stringResource(1), "Version %d.%02d");
    EXPECT_EQ(platform::stringResource(2), "Tarnwick project");
    EXPECT_EQ(platform::stringResource(3), "Tarnwick bridge");
    EXPECT_EQ(platform::stringResource(4), "Tarnwick");
    EXPECT_EQ(platform::stringResource(0), "");
    EXPECT_EQ(platform::stringResource(5), "");
    EXPECT_FALSE(platform::versionProductName().has_value());
}
