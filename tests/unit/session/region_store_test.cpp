#include "session/region_store.h"

#include <gtest/gtest.h>

#include "support/scoped_environment.h"

using namespace tarnwick;
using testing_support::TemporaryFolder;
using testing_support::writeWholeFile;

namespace {

class RegionStore : public ::testing::Test {
  protected:
    RegionStore() : file(folder.file("tarnwick.ini")) {}

    void restore(const std::string& content, bool saveRegions = true) {
        writeWholeFile(file.path(), content);
        restoreRegions(file, regions, saveRegions, {preview, 1.0, {0, 0, 216, 297}, 10});
    }

    TemporaryFolder folder;
    SettingsFile file;
    Bitmap preview;
    Regions regions;
};

}  // namespace

TEST_F(RegionStore, ADefaultAloneIsAPresetThatIsNotWrittenBack) {
    restore("[Regions]\nDefault=A4\n", false);
    ASSERT_EQ(regions.regionCount, 1);
    EXPECT_EQ(regions.regions[0], (Region{0, 0, 210, 297}));
    EXPECT_EQ(regions.defaultRegion, 0);
    EXPECT_TRUE(regions.timerOn);
    // A second region drawn later is saved; the preset one is not, and Default stays.
    regions.regions[1] = {5, 6, 50, 60};
    regions.regionCount = 2;
    storeRegions(file, regions);
    EXPECT_EQ(file.sectionEntries("Regions"),
              (std::vector<SettingsEntry>{{"1", "5;6;50;60"}, {"Default", "A4"}}));
}

TEST_F(RegionStore, EntriesAreReadByTheirPositionInTheFile) {
    restore("[Regions]\n0=1;2;30;40\n1=10;20;300;400\n");
    ASSERT_EQ(regions.regionCount, 2);
    EXPECT_EQ(regions.regions[1], (Region{10, 20, 300, 400}));
    EXPECT_EQ(regions.regionIndex, 1);
    EXPECT_EQ(regions.defaultRegion, -1);

    regions.clear();
    restore("[Regions]\n1=1;2;30;40\n2=10;20;300;400\n");
    ASSERT_EQ(regions.regionCount, 1);
    EXPECT_EQ(regions.regions[0], (Region{1, 2, 30, 40}));

    regions.clear();
    restore("[Regions]\n0=1;2;30;40\n1=1;2;30;40\n", false);
    EXPECT_EQ(regions.regionCount, 0) << "needs SaveRegions";
}

TEST_F(RegionStore, MalformedAndEmptyEntriesAreSkipped) {
    restore("[Regions]\n0=1;2;3\n1=1;x;3;4\n2=0;0;0;0\n3=-4;5;60;70;extra\n4=;;;\n5=7;8;90;99\n");
    ASSERT_EQ(regions.regionCount, 2);
    EXPECT_EQ(regions.regions[0], (Region{-4, 5, 60, 70}));
    EXPECT_EQ(regions.regions[1], (Region{7, 8, 90, 99}));
}
