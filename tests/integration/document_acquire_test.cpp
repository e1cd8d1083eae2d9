// Feeder batches, the transfer count and page sizes through the harness against the test
// backend, whose "source" list is "Flatbed" and "Automatic Document Feeder" (ten pages).
#include <algorithm>

#include "integration/acquire_support.h"
#include "twain/data_source.h"
#include "twain/open_scanner.h"
#include "unit/twain/container_reader.h"

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

// A5 (148 x 210 mm) needs a bed taller than the test backend's usual 200 mm.
TEST_F(AcquireTest, APageSizeScansAsScanimageScansThatArea) {
    widenBed(300);
    option("test-picture", "Color pattern");
    ASSERT_EQ(acquire("--size A5 --resolution 50 --pixel-type rgb"), 0) << lines;
    EXPECT_NE(lines.find("image 1: 291x413,"), std::string::npos) << lines;
    expectSame(received(1), scanimage("--mode Color --test-picture 'Color pattern' "
                                      "--resolution 50 -l 0 -t 0 -x 148 -y 210"));
}

// The test backend's options serve exactly the listed capabilities: each answers MSG_GET, and
// those it lacks the options for (duplex, brightness, contrast) are neither listed nor served.
TEST_F(AcquireTest, TheTestBackendListsTheCapabilitiesItServes) {
    std::ofstream(settingsPath()) << settings_;
    DataSource source([](DataSource& owner) { return std::make_unique<OpenScanner>(owner); },
                      DsmLink());
    TW_IDENTITY application{}, assigned{};
    const auto call = [&](TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return source.dispatch(&application, DG, DAT, MSG, data);
    };
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned), TWRC_SUCCESS);
    TW_CAPABILITY cap{CAP_SUPPORTEDCAPS, 0, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    std::vector<TW_UINT32> listed = takeAnswer(cap).values;
    std::sort(listed.begin(), listed.end());
    std::vector<TW_UINT32> expected{
        CAP_XFERCOUNT,          ICAP_COMPRESSION,       ICAP_PIXELTYPE,      ICAP_UNITS,
        ICAP_XFERMECH,          CAP_SUPPORTEDCAPS,      CAP_INDICATORS,      CAP_UICONTROLLABLE,
        CAP_DEVICEONLINE,       CAP_ENABLEDSUIONLY,     ICAP_PHYSICALWIDTH,  ICAP_PHYSICALHEIGHT,
        ICAP_XNATIVERESOLUTION, ICAP_YNATIVERESOLUTION, ICAP_XRESOLUTION,    ICAP_YRESOLUTION,
        ICAP_BITORDER,          ICAP_PIXELFLAVOR,       ICAP_PLANARCHUNKY,   ICAP_BITDEPTH,
        CAP_SUPPORTEDDATS,      CAP_FEEDERENABLED,      CAP_DUPLEX,          CAP_AUTOFEED,
        CAP_FEEDERLOADED,       CAP_PAPERDETECTABLE,    ICAP_SUPPORTEDSIZES, ICAP_IMAGEFILEFORMAT,
        ICAP_JPEGQUALITY};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    // Every boolean's MSG_GET is an enumeration, read-only ones too.
    for (TW_UINT32 each : listed) {
        cap = TW_CAPABILITY{static_cast<TW_UINT16>(each), 0, nullptr};
        EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS) << each;
        const Answer all = takeAnswer(cap);
        ASSERT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), TWRC_SUCCESS) << each;
        if (takeAnswer(cap).itemType == TWTY_BOOL) {
            EXPECT_EQ(all.conType, TWON_ENUMERATION) << each;
        }
    }
    for (TW_UINT16 missing : {CAP_DUPLEXENABLED, ICAP_BRIGHTNESS, ICAP_CONTRAST}) {
        cap = TW_CAPABILITY{missing, 0, nullptr};
        EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE) << missing;
    }
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &assigned), TWRC_SUCCESS);
}

}  // namespace
}  // namespace tarnwick::testing
