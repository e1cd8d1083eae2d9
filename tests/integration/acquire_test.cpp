// Images taken through TWAIN with the harness, pixel for pixel against what scanimage writes for
// the same test backend, options and area.
#include <sys/wait.h>

#include "integration/acquire_support.h"

namespace tarnwick::testing {
namespace {

// One inch is 25.4 mm on the bed; the test backend takes whole millimetres: 49 pixels at 50 dpi.
constexpr const char* kInch = "--frame 0,0,1,1";
constexpr const char* kInchArea = "-l 0 -t 0 -x 25.4 -y 25.4";

TEST_F(AcquireTest, GreyAndColourAtEveryDepthMatchScanimage) {
    struct Case {
        const char* twain;
        const char* scanimage;
        const char* picture;
        const char* line;
    };
    const Case cases[] = {
        {"--pixel-type bw --bit-depth 1", "--mode Gray --depth 1", "Grid",
         "image 1: 49x49, pixel type bw, bits per pixel 1, 50x50 dpi, native"},
        {"--pixel-type gray --bit-depth 8 --memory", "--mode Gray --depth 8", "Color pattern",
         "image 1: 49x49, pixel type gray, bits per pixel 8, 50x50 dpi, memory"},
        {"--pixel-type gray --bit-depth 16 --memory", "--mode Gray --depth 16", "Color pattern",
         "image 1: 49x49, pixel type gray, bits per pixel 16, 50x50 dpi, memory"},
        {"--pixel-type rgb --bit-depth 24 --memory --buffer 160", "--mode Color --depth 8",
         "Color pattern", "image 1: 49x49, pixel type rgb, bits per pixel 24, 50x50 dpi, memory"},
        {"--pixel-type rgb --bit-depth 48 --memory", "--mode Color --depth 16", "Color pattern",
         "image 1: 49x49, pixel type rgb, bits per pixel 48, 50x50 dpi, memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.twain);
        SetUp();
        option("test-picture", c.picture);
        ASSERT_EQ(acquire(std::string(c.twain) + " " + kInch), 0) << lines;
        EXPECT_NE(lines.find(c.line), std::string::npos) << lines;
        expectSame(received(1), scanimage(std::string(c.scanimage) + " --test-picture '" +
                                          c.picture + "' --resolution 50 " + kInchArea));
    }

    // 16 bits set in the window go native as the 8 bits the image information announces.
    SetUp();
    option("test-picture", "Color pattern");
    option("depth", "16");
    ASSERT_EQ(acquire(std::string("--pixel-type rgb ") + kInch), 0) << lines;
    EXPECT_NE(lines.find("pixel type rgb, bits per pixel 24, 50x50 dpi, native"), std::string::npos)
        << lines;
    expectSame(received(1),
               highBytes(scanimage(std::string("--mode Color --depth 16 --test-picture "
                                               "'Color pattern' --resolution 50 ") +
                                   kInchArea)));
}

// What the application negotiates is what is scanned, also after a saved value whose setting
// made the daemon ask for a reload (applied with reloads off) when the device was opened.
TEST_F(AcquireTest, TheNegotiatedPixelTypeAndResolutionAreTheOnesScanned) {
    for (const char* savedMode : {"", "Color"}) {
        SCOPED_TRACE(savedMode);
        SetUp();
        option("test-picture", "Color pattern");
        if (*savedMode) option("mode", savedMode);
        ASSERT_EQ(acquire(std::string("--pixel-type gray --resolution 100 ") + kInch), 0) << lines;
        EXPECT_NE(lines.find("image 1: 98x98, pixel type gray, bits per pixel 8, 100x100 dpi"),
                  std::string::npos)
            << lines;
        expectSame(received(1), scanimage(std::string("--mode Gray --resolution 100 ") +
                                          "--test-picture 'Color pattern' " + kInchArea));
    }
}

TEST_F(AcquireTest, ThreePassPaddedSwappedAndHandScannerFramesMatchScanimage) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> options;
        std::string scanimage;
        const char* frame;
        int padding;               // pixels of padding scanimage leaves in each row
        bool sixteenBits = false;  // delivered whole by memory, as their high bytes natively
    };
    const Case cases[] = {
        {"three-pass",
         {{"three-pass", "yes"}},
         std::string("--three-pass=yes ") + kInchArea,
         kInch,
         0},
        {"ppl-loss", {{"ppl-loss", "7"}}, std::string("--ppl-loss=7 ") + kInchArea, kInch, 7},
        // Both take the samples in the byte order the daemon announces.
        {"invert-endianess",
         {{"depth", "16"}, {"invert-endianess", "yes"}},
         std::string("--depth 16 --invert-endianess=yes ") + kInchArea,
         kInch,
         0,
         true},
        // Unknown length; the backend fixes the width and has no geometry then.
        {"hand-scanner", {{"hand-scanner", "yes"}}, "--hand-scanner=yes", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        option("test-picture", "Color pattern");
        for (const auto& [name, value] : c.options) option(name, value);
        for (const std::string transfer : {"--native", "--memory --buffer 1300"}) {
            ASSERT_EQ(acquire("--pixel-type rgb " + transfer + " " + c.frame), 0) << lines;
            const Pnm reference = scanimage(
                "--mode Color " + c.scanimage + " --test-picture 'Color pattern' --resolution 50",
                c.padding);
            const bool native = transfer == "--native";
            expectSame(received(1), c.sixteenBits && native ? highBytes(reference) : reference);
        }
    }
}

TEST_F(AcquireTest, MemoryBuffersOfOneRowThreeRowsAndThePreferredSizeGiveOneImage) {
    option("test-picture", "Color pattern");
    const Pnm reference = scanimage(std::string("--mode Color --test-picture 'Color pattern' "
                                                "--resolution 50 ") +
                                    kInchArea);
    // A colour row of 49 pixels is 147 bytes, 156 with the stride of twelve.
    for (const char* buffer : {"--buffer 156", "--buffer 468", ""}) {
        SCOPED_TRACE(buffer);
        ASSERT_EQ(acquire(std::string("--pixel-type rgb --memory ") + buffer + " " + kInch), 0)
            << lines;
        expectSame(received(1), reference);
    }
    EXPECT_EQ(acquire(std::string("--pixel-type rgb --memory --buffer 100 ") + kInch), 1);
    EXPECT_NE(lines.find("MSG_GET: TWRC_FAILURE, TWCC_BADVALUE"), std::string::npos) << lines;
}

TEST_F(AcquireTest, TenFeederPagesArriveInOneBatch) {
    settings_ = "[ADF]\nSinglePage=0\n" + settings_;  // the feeder's pages, not one page
    option("source", "Automatic Document Feeder");
    option("test-picture", "Color pattern");
    ASSERT_EQ(acquire(std::string("--pixel-type gray ") + kInch), 0) << lines;
    for (int k = 1; k <= 10; ++k)
        EXPECT_NE(lines.find("image " + std::to_string(k) + ": 49x49"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("image 11:"), std::string::npos) << lines;
    expectSame(received(10), scanimage(std::string("--mode Gray --test-picture 'Color pattern' "
                                                   "--resolution 50 ") +
                                       kInchArea));

    EXPECT_EQ(acquire(std::string("--pixel-type gray --max-images 3 ") + kInch, "three"), 0);
    EXPECT_NE(lines.find("image 3:"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("image 4:"), std::string::npos) << lines;
}

TEST_F(AcquireTest, TheWindowNobodySeesScansOnceAndAsksToBeClosed) {
    option("test-picture", "Color pattern");
    ASSERT_EQ(acquire(std::string("--ui --pixel-type rgb ") + kInch), 0) << lines;
    EXPECT_NE(lines.find("image 1: 49x49, pixel type rgb"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("image 2:"), std::string::npos) << lines;
}

TEST_F(AcquireTest, RefusedRequestsAreReportedAndFailTheRun) {
    // A depth the device's list lacks is not taken; the application hears of it.
    EXPECT_EQ(acquire("--bit-depth 3 " + std::string(kInch)), 0) << lines;
    EXPECT_NE(lines.find("MSG_SET ICAP_BITDEPTH: TWRC_CHECKSTATUS"), std::string::npos) << lines;
    EXPECT_NE(lines.find("bits per pixel 8"), std::string::npos) << lines;
    EXPECT_EQ(acquire("--pixel-type bw --bit-depth 8 " + std::string(kInch)), 0) << lines;
    EXPECT_NE(lines.find("MSG_SET ICAP_BITDEPTH: TWRC_CHECKSTATUS"), std::string::npos) << lines;
    EXPECT_NE(lines.find("pixel type bw, bits per pixel 1"), std::string::npos) << lines;

    // No daemon to reach: the source does not open, and nothing else is tried.
    settings_ = "[Connection]\nHost=127.0.0.1\nPort=1\nDevice=test:0\n";
    EXPECT_EQ(acquire(""), 1);
    EXPECT_NE(lines.find("MSG_OPENDS: TWRC_FAILURE"), std::string::npos) << lines;
}

}  // namespace
}  // namespace tarnwick::testing
