// The TWAIN 2 test application takes images from the source through the TWAIN Working Group's
// manager, with callbacks, and they match what scanimage writes for the same area.
#include <cstdlib>

#include "integration/acquire_support.h"

namespace tarnwick::testing {
namespace {

class ManagerAcquireTest : public AcquireTest {
  protected:
    void SetUp() override {
        if (std::string(TARNWICK_PRIVATE_DSM).empty())
            GTEST_SKIP() << "no TWAIN Working Group manager beside the checkout";
        AcquireTest::SetUp();
    }

    int runApp(const std::string& arguments) {
        std::ofstream(settingsPath()) << settings_;
        output_ = folder.file("out");
        std::filesystem::create_directories(output_);
        const std::string log = folder.file("app.log");
        const std::string command =
            std::string(TARNWICK_SOURCE_DIR) + "/tests/integration/with-manager " +
            TARNWICK_MODULE_PATH + " " + TARNWICK_PRIVATE_DSM + " " + TARNWICK_BINARY_DIR +
            "/tarnwick-twain-app --out " + output_ + " " + arguments + " >" + log + " 2>&1";
        return runLogged(command, log);
    }
};

TEST_F(ManagerAcquireTest, NativeAndMemoryTransfersAtEveryDepthMatchScanimage) {
    struct Case {
        const char* app;
        const char* scanimage;
        const char* line;
    };
    const Case cases[] = {
        // The settings are confirmed, and the source stays enabled until the application
        // disables it.
        {"--settings-only --pixel-type rgb", "--mode Color",
         "settings only: MSG_CLOSEDSOK\nimage 1: 100x100, pixel type 2, bits per pixel 24, native"},
        {"--ui --memory --pixel-type gray", "--mode Gray",
         "image 1: 100x100, pixel type 1, bits per pixel 8, memory"},
        // Black and white is the grey mode at 1 bit.
        {"--pixel-type bw", "--mode Gray --depth 1",
         "image 1: 100x100, pixel type 0, bits per pixel 1, native"},
        {"--memory --pixel-type gray --bit-depth 16", "--mode Gray --depth 16",
         "image 1: 100x100, pixel type 1, bits per pixel 16, memory"},
        {"--memory --pixel-type rgb --bit-depth 48", "--mode Color --depth 16",
         "image 1: 100x100, pixel type 2, bits per pixel 48, memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.app);
        SetUp();
        option("test-picture", "Color pattern");
        ASSERT_EQ(runApp(std::string(c.app) + " --resolution 50 --inches 2"), 0) << lines;
        EXPECT_NE(lines.find(c.line), std::string::npos) << lines;
        EXPECT_EQ(lines.find("image 2:"), std::string::npos) << lines;
        expectSame(
            received(1),
            scanimage(std::string(c.scanimage) +
                      " --test-picture 'Color pattern' --resolution 50 -l 0 -t 0 -x 50.8 -y 50.8"));
    }
}

// The batch ends cleanly at the count, the flatbed gives one image, and A5 is scanned as
// scanimage scans 148 x 210 mm (on a bed widened for it).
// A file of every format by file transfer through the manager, read back by ImageMagick (PDF by
// pdfimages, which takes the page's image as it is): the pixels scanimage reads, JPEG within a
// mean difference of 10 of 255.
TEST_F(ManagerAcquireTest, FileTransfersThroughTheManagerMatchScanimage) {
    struct Case {
        const char* format;
        const char* decode;  // FILE and PPM stand for the paths
        double meanDifference;
    };
    const Case cases[] = {
        {"tif", "convert FILE ppm:PPM", 0},
        {"bmp", "convert FILE ppm:PPM", 0},
        {"png", "convert FILE ppm:PPM", 0},
        {"jpg", "convert FILE ppm:PPM", 10},
        {"pdf", "pdfimages FILE PPM && mv PPM-000.ppm PPM", 0},
    };
    option("test-picture", "Color pattern");
    const Pnm reference = scanimage(
        "--mode Color --test-picture 'Color pattern' --resolution 50 -l 0 -t 0 -x 50.8 -y 50.8");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(runApp(std::string("--file ") + c.format +
                         " --pixel-type rgb --resolution 50 --inches 2"),
                  0)
            << lines;
        EXPECT_NE(lines.find("image 1: 100x100, pixel type 2, bits per pixel 24, file"),
                  std::string::npos)
            << lines;
        std::string command = c.decode;
        const std::string pnm = folder.file("decoded.ppm");
        command.replace(command.find("FILE"), 4, output_ + "/image-1." + c.format);
        for (std::size_t at; (at = command.find("PPM")) != std::string::npos;)
            command.replace(at, 3, pnm);
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        Pnm file;
        ASSERT_TRUE(readPnm(pnm, file));
        if (c.meanDifference == 0) {
            expectSame(file, reference);
            continue;
        }
        ASSERT_EQ(file.values.size(), reference.values.size());
        double sum = 0;
        for (std::size_t i = 0; i < file.values.size(); ++i)
            sum += std::abs(file.values[i] - reference.values[i]);
        EXPECT_LE(sum / static_cast<double>(file.values.size()), c.meanDifference);
    }
}

TEST_F(ManagerAcquireTest, FeederCountAndPageSizeThroughTheManager) {
    struct Case {
        const char* app;
        const char* savedSource;
        int images;
    };
    const Case cases[] = {
        {"--feeder --count 3", "Flatbed", 3},
        {"--flatbed --count 3", "Automatic Document Feeder", 1},
        {"--size 5", "Flatbed", 1},  // TWSS_A5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.app);
        SetUp();
        widenBed(300);
        option("source", c.savedSource);
        option("test-picture", "Color pattern");
        ASSERT_EQ(runApp(std::string(c.app) + " --resolution 50 --pixel-type rgb"), 0) << lines;
        EXPECT_NE(lines.find("image " + std::to_string(c.images) + ":"), std::string::npos)
            << lines;
        EXPECT_EQ(lines.find("image " + std::to_string(c.images + 1) + ":"), std::string::npos)
            << lines;
    }
    expectSame(received(1), scanimage("--mode Color --test-picture 'Color pattern' "
                                      "--resolution 50 -l 0 -t 0 -x 148 -y 210"));
}

}  // namespace
}  // namespace tarnwick::testing
