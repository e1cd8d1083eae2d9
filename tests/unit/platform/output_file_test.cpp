// An output file takes its name only at commit, replacing an old file, and leaves nothing when
// dropped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/output_file.h"
#include "support/scoped_environment.h"

namespace {

TEST(OutputFile, TheTargetAppearsOnlyAtCommitAndReplacesAnOldFile) {
    testing_support::TemporaryFolder folder;
    const std::string target = folder.file("page.bin");
    std::ofstream(target) << "old";
    const auto entries = [&] {
        return std::distance(std::filesystem::directory_iterator(folder.path()),
                             std::filesystem::directory_iterator());
    };
    {
        platform::OutputFile file(target);
        ASSERT_TRUE(file.open());
        const std::uint8_t bytes[] = {1, 2, 3};
        ASSERT_TRUE(file.write(bytes, 3));
        EXPECT_EQ(entries(), 2);
        EXPECT_EQ(std::filesystem::file_size(target), 3u) << "the old file is still there";
    }  // dropped without commit
    EXPECT_EQ(entries(), 1);
    platform::OutputFile file(target);
    ASSERT_TRUE(file.open());
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(file.write(bytes, 5));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(std::filesystem::file_size(target), 5u);
    EXPECT_EQ(entries(), 1);

    platform::OutputFile nowhere(folder.file("missing/page.bin"));
    EXPECT_FALSE(nowhere.open());
    EXPECT_FALSE(nowhere.commit());
}

}  // namespace
