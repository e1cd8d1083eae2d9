#include "platform/module_info.h"

#include <gtest/gtest.h>

#include <filesystem>

// Linked statically into the test program, the code finds the test program itself.
TEST(ModuleInfo, FindsTheFileOfTheModuleItIsLinkedInto) {
    const std::filesystem::path path = platform::moduleFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(path.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(path));
    const std::string name = path.stem().string();
    EXPECT_EQ(name.rfind("tarnwick-", 0), 0u) << name;
    EXPECT_TRUE(name.ends_with("-tests")) << name;
}

TEST(ModuleInfo, CarriesTheFourIdentityTextsAndNoVersionResourceOnLinux) {
    EXPECT_EQ(platform::stringResource(1), "Version %d.%02d");
    EXPECT_EQ(platform::stringResource(2), "Tarnwick project");
    EXPECT_EQ(platform::stringResource(3), "Tarnwick bridge");
    EXPECT_EQ(platform::stringResource(4), "Tarnwick");
    EXPECT_EQ(platform::stringResource(0), "");
    EXPECT_EQ(platform::stringResource(5), "");
    EXPECT_FALSE(platform::versionProductName().has_value());
}
