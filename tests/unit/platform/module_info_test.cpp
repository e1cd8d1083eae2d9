#include <gtest/gtest.h>

#include <filesystem>

#include "platform/module_info.h"

// Linked statically into the test program, the code finds the test program itself.
TEST(ModuleInfo, FindsTheFileOfTheModuleItIsLinkedInto) {
    const std::filesystem::path path = platform::moduleFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(path.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(path.filename().string().rfind("tarnwick-unit-tests", 0), 0u);
}
