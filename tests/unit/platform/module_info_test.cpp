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
