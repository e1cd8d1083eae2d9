// Black and white from an eSCL scanner, which AirSane does not offer: a scripted scanner serves
// the SANE test backend's own one-bit picture as a one-bit PNG, or, as a scanner that offers
// JPEG only does, its grey picture as a JPEG; through the built module by the harness and the
// (headless) window, compared with what scanimage reads from the backend.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "integration/acquire_support.h"
#include "support/scoped_environment.h"
#include "support/scripted_escl_scanner.h"

namespace tarnwick::testing {
namespace {

struct BlackAndWhiteCase {
    const char* name;
    const char* format;  // the one document format the scanner offers
    bool window;
    int resolution;
    double left, top, right, bottom;  // inches
    // The region the job must ask for, in 1/300 inch: x, y, width, height.
    int x, y, width, height;
    double maxDiffering;  // share of pixels
};

void PrintTo(const BlackAndWhiteCase& c, std::ostream* out) {
    *out << c.name;
}

class EsclBlackAndWhite : public ::testing::TestWithParam<BlackAndWhiteCase>,
                          protected testing_support::SettingsFolders {
  protected:
    // The test backend's grid, whose grey and one-bit pictures are the same black and white.
    std::string scanimage(const BlackAndWhiteCase& c, int depth) {
        const std::string conf = folder.file("sane.d");
        std::filesystem::create_directories(conf);
        std::ofstream(conf + "/dll.conf") << "test\n";
        std::ofstream(conf + "/test.conf") << testBackendConf("Grid");
        auto mm = [](double inches) { return std::to_string(std::lround(inches * 25.4)); };
        const std::string path = folder.file("scanimage-" + std::to_string(depth) + ".pnm");
        const std::string command =
            "SANE_CONFIG_DIR=" + conf + " timeout 60 scanimage -d test --format=pnm --mode Gray" +
            " --depth " + std::to_string(depth) + " --resolution " + std::to_string(c.resolution) +
            " -l " + mm(c.left) + " -t " + mm(c.top) + " -x " + mm(c.right - c.left) + " -y " +
            mm(c.bottom - c.top) + " >" + path + " 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return path;
    }

    // The page as the scanner sends it, made from scanimage's picture by ImageMagick.
    ScriptedPage page(const BlackAndWhiteCase& c) {
        const bool png = std::string(c.format) == "image/png";
        const std::string from = scanimage(c, png ? 1 : 8);
        const std::string to = folder.file(png ? "page.png" : "page.jpg");
        const std::string command =
            "convert " + from + (png ? " -depth 1 png:" : " -quality 85 jpg:") + to;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return {c.format, testing_support::readWholeFile(to)};
    }
};

TEST_P(EsclBlackAndWhite, EqualsTheBackendsOneBitPicture) {
    const BlackAndWhiteCase& c = GetParam();
    ScriptedEsclScanner scanner(
        scriptedCapabilities({"BlackAndWhite1", "Grayscale8", "RGB24"}, {75, 150}, {c.format}));
    scanner.setPages({page(c)});
    std::ofstream(settingsPath()) << "[Connection]\nDevice=" << scanner.url() << "\n";
    std::ostringstream arguments;
    arguments << (c.window ? "--ui " : "") << "--pixel-type bw --resolution " << c.resolution
              << " --frame " << c.left << "," << c.top << "," << c.right << "," << c.bottom;
    std::string lines;
    ASSERT_EQ(runLogged(acquireCommand(folder.file("out"), arguments.str(), folder.file("log")),
                        folder.file("log"), lines),
              0)
        << lines;

    const std::vector<std::string> jobs = scanner.jobSettings();
    ASSERT_EQ(jobs.size(), 1u) << lines;
    for (const std::string& asked :
         {std::string("<scan:ColorMode>BlackAndWhite1<"),
          "<pwg:DocumentFormat>" + std::string(c.format) + "<",
          "<scan:XResolution>" + std::to_string(c.resolution) + "<",
          "<pwg:XOffset>" + std::to_string(c.x) + "<", "<pwg:YOffset>" + std::to_string(c.y) + "<",
          "<pwg:Width>" + std::to_string(c.width) + "<",
          "<pwg:Height>" + std::to_string(c.height) + "<"})
        EXPECT_NE(jobs[0].find(asked), std::string::npos) << asked << " in " << jobs[0];

    Pnm twain, reference;
    ASSERT_TRUE(readPnm(folder.file("out") + "/image-1.pnm", twain)) << lines;
    ASSERT_TRUE(readPnm(scanimage(c, 1), reference));
    ASSERT_EQ(twain.width, reference.width) << lines;
    ASSERT_EQ(twain.height, reference.height) << lines;
    ASSERT_EQ(twain.channels, 1);
    const std::size_t differing = differingValues(twain, reference);
    EXPECT_LE(static_cast<double>(differing), c.maxDiffering * twain.values.size())
        << differing << " of " << twain.values.size() << " pixels";
}

// A one-bit PNG is exact; a JPEG's grey is made black and white at its middle, where the
// ringing of its edges moves a few pixels (a wrong threshold, row or size moves thousands).
INSTANTIATE_TEST_SUITE_P(Scripted, EsclBlackAndWhite,
                         ::testing::Values(BlackAndWhiteCase{"Png75", "image/png", false, 75, 0, 0,
                                                             2, 3, 0, 0, 600, 900, 0},
                                           BlackAndWhiteCase{"Png150Area", "image/png", false, 150,
                                                             0.5, 1, 2.5, 2, 150, 300, 600, 300, 0},
                                           BlackAndWhiteCase{"JpegOnly75", "image/jpeg", false, 75,
                                                             0, 0, 2, 3, 0, 0, 600, 900, 0.01},
                                           BlackAndWhiteCase{"WindowPng75", "image/png", true, 75,
                                                             0, 0, 2, 3, 0, 0, 600, 900, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnwick::testing
