// Feeder batches, the transfer count and page sizes through the harness against the test
// backend, whose "source" list is "Flatbed" and "Automatic Document Feeder" (ten pages).
#include "integration/acquire_support.h"

namespace tarnwick::testing {
namespace {

TEST_F(AcquireTest, FeederCountAndPageSizeDecideTheBatch) {
    struct Case {
        const char* twain;
        const char* savedSource;  // the window's saved value, which the application overrides
        int images;
        const char* size;  // of every image at 50 dpi
    };
    const Case cases[] = {
        {"--feeder --count 3", "Flatbed", 3, "393x393"},
        {"--feeder --count 3 --ui --memory", "Flatbed", 3, "393x393"},
        // The feeder runs empty before the count: the batch ends as the count would end it.
        {"--feeder --count 12", "Flatbed", 10, "393x393"},
        {"--flatbed --count 3", "Automatic Document Feeder", 1, "393x393"},
        // A6, 105 x 148 mm, from the bed's corner.
        {"--size A6", "Flatbed", 1, "206x291"},
        // One inch in centimetres and in pixels: 25 whole millimetres on the test bed.
        {"--units cm --frame 0,0,2.54,2.54", "Flatbed", 1, "49x49"},
        {"--units pixels --frame 0,0,50,50", "Flatbed", 1, "49x49"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.twain);
        SetUp();
        option("source", c.savedSource);
        ASSERT_EQ(acquire(std::string(c.twain) + " --resolution 50 --pixel-type gray"), 0) << lines;
        for (int k = 1; k <= c.images; ++k) {
            const std::string line = "image " + std::to_string(k) + ": " + c.size + ",";
            EXPECT_NE(lines.find(line), std::string::npos) << lines;
        }
        EXPECT_EQ(lines.find("image " + std::to_string(c.images + 1) + ":"), std::string::npos)
            << lines;
        // The end of paper is no failure and no cancelled transfer.
        for (const char* answer : {"TWRC_FAILURE", "TWRC_CANCEL"})
            EXPECT_EQ(lines.find(answer), std::string::npos) << lines;
    }
}

TEST_F(AcquireTest, APageSizeScansAsScanimageScansThatArea) {
    option("test-picture", "Color pattern");
    ASSERT_EQ(acquire("--size A6 --resolution 50 --pixel-type rgb"), 0) << lines;
    expectSame(received(1), scanimage("--mode Color --test-picture 'Color pattern' "
                                      "--resolution 50 -l 0 -t 0 -x 105 -y 148"));
}

}  // namespace
}  // namespace tarnwick::testing
