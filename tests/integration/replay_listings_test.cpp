// Every real scanner's listing in ../shared/devices, replayed through the real saned: the harness
// without user interface, the capabilities the source offers for it, and the headless window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "options/number_option.h"
#include "support/saned_fixture.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "twain/open_scanner.h"
#include "twain/option_values.h"
#include "unit/twain/container_reader.h"
#include "unit/window/window_fixture.h"

namespace tarnwick::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDevice = "replay:device";

// What each device offers, read from its listing by hand.
struct Device {
    // The device's mode for TWPT_BW, TWPT_GRAY and TWPT_RGB; null where the type is not offered,
    // "" where it is offered without a mode option.
    const char* modes[3];
    int dpi;                        // a resolution it has, for small images
    double width, height;           // the whole scan area in millimetres
    const char* feeder;             // the "source" entry of the feeder, null without one
    const char* duplex;             // the entry of the duplex feeder
    bool yResolution;               // a y-resolution of its own
    std::vector<TW_UINT16> levels;  // of brightness, contrast, threshold and gamma, those it has
};

constexpr TW_UINT16 B = ICAP_BRIGHTNESS, C = ICAP_CONTRAST, T = ICAP_THRESHOLD, G = ICAP_GAMMA;
const char* const kAdf = "ADF Front";
const char* const kAdfDuplex = "ADF Duplex";
const char* const kBrotherAdf = "Automatic Document Feeder";

const std::map<std::string, Device>& devices() {
    static const std::map<std::string, Device> table = {
        {"01-fujitsu-fi7260-flatbed",
         {{"Lineart", "Gray", "Color"}, 75, 227.809, 296.972, kAdf, kAdfDuplex, false, {B, C, T}}},
        {"02-fujitsu-fi7260-adf",
         {{"Lineart", "Gray", "Color"}, 75, 215.872, 279.364, kAdf, kAdfDuplex, false, {B, C, T}}},
        {"03-fujitsu-scansnap-s1500",
         {{"Lineart", "Gray", "Color"}, 75, 215.872, 279.364, kAdf, kAdfDuplex, false, {B, C, T}}},
        {"05-epsonds-es580w",
         {{"Lineart", "Gray", "Color"}, 75, 215.9, 393.7, kAdf, kAdfDuplex, false, {}}},
        {"07-brother4-adf-duplex",
         {{"Black & White", "True Gray", "24bit Color[Fast]"},
          100,
          215.9,
          355.6,
          "Automatic Document Feeder(left aligned)",
          "Automatic Document Feeder(left aligned,Duplex)",
          false,
          {}}},
        {"09-brother2-mfc8860dn",
         {{"Black & White", "True Gray", "24bit Color"},
          100,
          215.9,
          355.6,
          kBrotherAdf,
          "Automatic Document Feeder(Duplex)",
          false,
          {}}},
        {"10-brother-mfc5100c",
         {{"Black & White", "True Gray", "24bit Color"},
          100,
          208,
          355.6,
          kBrotherAdf,
          nullptr,
          false,
          {}}},
        {"11-airscan-mfc8710dw",
         {{nullptr, "Gray", "Color"}, 100, 215.9, 355.6, "ADF", nullptr, false, {B, C, G}}},
        {"13-pixma-04a91766",
         {{"Lineart", "Gray", "Color"}, 75, 216.069, 355.6, kBrotherAdf, nullptr, false, {}}},
        {"14-hpaio-psc1600",
         {{"Lineart", "Gray", "Color"}, 75, 215.9, 296.926, nullptr, nullptr, false, {B, C}}},
        {"16-hpaio-laserjet3020",
         {{"Lineart", "Gray", "Color"}, 75, 228.6, 381, "ADF", nullptr, false, {C}}},
        {"17-epson2-usb-flatbed",
         {{"Lineart", "Gray", "Color"}, 75, 215.9, 297.18, nullptr, nullptr, false, {T}}},
        {"19-epson2-tpu8x10",
         {{"Lineart", "Gray", "Color"}, 75, 215.9, 297.18, nullptr, nullptr, false, {B, T}}},
        {"20-epson-flatbed-tpu",
         {{"Lineart", "Gray", "Color"}, 75, 215.9, 297.18, nullptr, nullptr, false, {B}}},
        {"22-epkowa-gtx770",
         {{"Binary", "Gray", "Color"}, 200, 215.9, 297.18, kBrotherAdf, nullptr, true, {}}},
        {"23-utsushi-esci",
         {{"Monochrome", "Grayscale", "Color"},
          75,
          215.9,
          297.18,
          nullptr,
          nullptr,
          false,
          {B, C, T}}},
        {"24-xerox_mfp-net",
         {{"Lineart", "Gray", "Color"}, 75, 215.9, 297.18, "ADF", nullptr, false, {}}},
        {"26-genesys-lide100",
         {{"Lineart", "Gray", "Color"}, 75, 216.07, 299, nullptr, nullptr, false, {B, C, T}}},
        {"28-avision-scanjet5300c",
         {{"Lineart", "Gray", "Color"}, 100, 216, 296, "ADF", nullptr, false, {B, C}}},
        {"30-avision-scanjet8200",
         {{"Lineart", "Gray", "Color"}, 75, 216, 355, kAdf, nullptr, false, {B, C}}},
        {"32-hp5400-scanjet5470c",
         {{nullptr, nullptr, ""}, 75, 215, 248, nullptr, nullptr, false, {}}},
        {"33-hp3500-scanjet3570c",
         {{nullptr, nullptr, "Color"}, 75, 215.9, 298.7, nullptr, nullptr, false, {}}},
        {"35-umax1220u", {{nullptr, nullptr, ""}, 75, 228.6, 298.027, nullptr, nullptr, false, {}}},
        {"37-niash", {{"Lineart", "Gray", "Color"}, 75, 220, 297, nullptr, nullptr, false, {}}},
        {"39-canon630u-fb630u",
         {{nullptr, nullptr, ""}, 75, 215.9, 296.333, nullptr, nullptr, false, {}}},
    };
    return table;
}

// The devices that scan grey at 16 bits a sample: by a depth option or by a mode ("12bit Gray").
const char* const kSixteenBits[] = {"22-epkowa-gtx770", "26-genesys-lide100",
                                    "28-avision-scanjet5300c", "30-avision-scanjet8200"};

fs::path listingFolder() {
    return fs::path(TARNWICK_SOURCE_DIR) / ".." / "shared" / "devices";
}

// The listings as the folder holds them now: a new one fails until the table knows it.
std::vector<std::string> listings() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(listingFolder(), error))
        if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

const TW_UINT16 kTypes[] = {TWPT_BW, TWPT_GRAY, TWPT_RGB};
const char* const kTypeNames[] = {"bw", "gray", "rgb"};
const int kBitsPerPixel[] = {1, 8, 24};

// Pixels of `millimetres` at `dpi`, as the source frames whole millimetres and the device
// quantises: within a millimetre and a pixel of the exact figure.
void expectPixels(int pixels, double millimetres, int dpi, const char* axis) {
    EXPECT_NEAR(pixels, millimetres / 25.4 * dpi, dpi / 25.4 + 1) << axis;
}

// A saned replaying one listing, with the settings for its device, and the harness.
class ReplayTest : public WindowTest {
  protected:
    void startDaemon(const std::string& listing, const std::string& pages = "3") {
        SanedSetup setup;
        setup.replayListing = listing;
        setup.environment = {{"SANE_REPLAY_NAME", kDevice}, {"SANE_REPLAY_PAGES", pages}};
        saned_ = std::make_unique<SanedFixture>(setup);
        ASSERT_TRUE(saned_->running()) << saned_->error();
        writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned_->port()) +
                      "\nDevice=" + kDevice + "\nGetDevices=0\n");
    }

    // `tarnwick-scan acquire` with the arguments: its exit status, its report in `report_`.
    int acquire(const std::string& arguments) {
        const std::string out = folder.file("out"), log = folder.file("acquire.log");
        fs::remove_all(out);
        const std::string command = std::string(TARNWICK_BINARY_DIR) + "/tarnwick-scan acquire " +
                                    TARNWICK_MODULE_PATH + " --format pnm --out " + out + " " +
                                    arguments + " >" + log + " 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        report_ = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The images the report lists: their sizes, pixel types and bits per pixel.
    struct Reported {
        int width, height, bits;
        std::string type;
    };
    std::vector<Reported> reported() const {
        std::vector<Reported> images;
        std::istringstream lines(report_);
        for (std::string line; std::getline(lines, line);) {
            Reported r{};
            char type[8] = {};
            if (std::sscanf(line.c_str(), "image %*d: %dx%d, pixel type %7[a-z], bits per pixel %d",
                            &r.width, &r.height, type, &r.bits) == 4) {
                r.type = type;
                images.push_back(r);
            }
        }
        return images;
    }

    std::unique_ptr<SanedFixture> saned_;
    std::string report_;
};

class ReplayListing : public ReplayTest, public ::testing::WithParamInterface<std::string> {
  protected:
    void SetUp() override {
        auto known = devices().find(GetParam());
        ASSERT_NE(known, devices().end()) << "no expectations for the listing " << GetParam();
        device_ = &known->second;
        startDaemon((listingFolder() / (GetParam() + ".txt")).string());
    }

    const Device* device_ = nullptr;
};

// Each pixel type the device offers, at a small resolution; with a feeder, the black-and-white
// (or first) type takes two pages from it, both sides where it scans both.
TEST_P(ReplayListing, TheHarnessTakesEveryPixelTypeAndTheFeeder) {
    bool feederDone = false;
    for (int t = 0; t < 3; ++t) {
        if (device_->modes[t] == nullptr) continue;
        SCOPED_TRACE(kTypeNames[t]);
        std::string arguments = std::string("--pixel-type ") + kTypeNames[t] + " --resolution " +
                                std::to_string(device_->dpi);
        const bool fromFeeder = device_->feeder != nullptr && !feederDone;
        if (fromFeeder)
            arguments += device_->duplex ? " --duplex --count 2" : " --feeder --count 2";
        feederDone = true;
        ASSERT_EQ(acquire(arguments), 0) << report_;
        // A resolution set for one axis answers TWRC_CHECKSTATUS: it changed the other.
        for (const char* answer : {"TWRC_FAILURE", "TWRC_CANCEL"})
            EXPECT_EQ(report_.find(answer), std::string::npos) << report_;
        const std::vector<Reported> images = reported();
        ASSERT_EQ(images.size(), fromFeeder ? 2u : 1u) << report_;
        for (const Reported& image : images) {
            EXPECT_EQ(image.type, kTypeNames[t]);
            EXPECT_EQ(image.bits, kBitsPerPixel[t]);
            expectPixels(image.width, device_->width, device_->dpi, "width");
            expectPixels(image.height, device_->height, device_->dpi, "height");
        }
    }
}

// 16-bit samples go by memory transfer; ICAP_BITDEPTH finds the depth or the mode that gives them.
TEST_P(ReplayListing, SixteenBitGreyByMemory) {
    const bool sixteen = std::find_if(std::begin(kSixteenBits), std::end(kSixteenBits),
                                      [&](const char* name) { return GetParam() == name; }) !=
                         std::end(kSixteenBits);
    if (device_->modes[1] == nullptr) return;  // no grey at all
    ASSERT_EQ(acquire("--memory --pixel-type gray --bit-depth 16 --resolution " +
                      std::to_string(device_->dpi)),
              0)
        << report_;
    // A depth the device does not have is refused, and the image comes at the one it has.
    EXPECT_EQ(report_.find("ICAP_BITDEPTH: TWRC_") == std::string::npos, sixteen) << report_;
    const std::vector<Reported> images = reported();
    ASSERT_EQ(images.size(), 1u) << report_;
    EXPECT_EQ(images[0].type, "gray");
    EXPECT_EQ(images[0].bits, sixteen ? 16 : 8);
}

// The capabilities without a window: CAP_SUPPORTEDCAPS lists exactly those that answer, and the
// pixel types, both resolution axes, the feeder and the levels land on the device's options.
TEST_P(ReplayListing, TheCapabilitiesMapOntoTheDevicesOptions) {
    OpenScanner* opened = nullptr;
    DataSource source(
        [&](DataSource& owner) {
            auto scanner = std::make_unique<OpenScanner>(owner);
            opened = scanner.get();
            return scanner;
        },
        DsmLink());
    TW_IDENTITY application{}, assigned{};
    const auto call = [&](TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return source.dispatch(&application, DAT == DAT_IMAGELAYOUT ? DG_IMAGE : DG_CONTROL, DAT,
                               MSG, data);
    };
    const auto set = [&](TW_UINT16 cap, TW_UINT32 item, TW_UINT16 type) {
        SentContainer sent(cap, item, type);
        return call(DAT_CAPABILITY, MSG_SET, &sent.cap);
    };
    const auto optionText = [&](const char* name) {
        Option* option = opened->window().session().scanner()->findOption(name);
        return option ? option->valueText() : std::string("(none)");
    };
    const auto number = [&](const char* name) {
        auto* option =
            dynamic_cast<NumberOption*>(opened->window().session().scanner()->findOption(name));
        return option && !option->values.empty() ? option->values.front() : -1.0;
    };
    ASSERT_EQ(call(DAT_IDENTITY, MSG_OPENDS, &assigned), TWRC_SUCCESS);
    ASSERT_NE(opened, nullptr);

    std::vector<TW_UINT32> expected = {
        CAP_XFERCOUNT,          ICAP_COMPRESSION,       ICAP_PIXELTYPE,       ICAP_UNITS,
        ICAP_XFERMECH,          CAP_SUPPORTEDCAPS,      CAP_INDICATORS,       CAP_UICONTROLLABLE,
        CAP_DEVICEONLINE,       CAP_ENABLEDSUIONLY,     ICAP_PHYSICALWIDTH,   ICAP_PHYSICALHEIGHT,
        ICAP_XNATIVERESOLUTION, ICAP_YNATIVERESOLUTION, ICAP_XRESOLUTION,     ICAP_YRESOLUTION,
        ICAP_BITORDER,          ICAP_PIXELFLAVOR,       ICAP_PLANARCHUNKY,    ICAP_BITDEPTH,
        CAP_SUPPORTEDDATS,      ICAP_SUPPORTEDSIZES,    ICAP_IMAGEFILEFORMAT, ICAP_JPEGQUALITY};
    if (device_->feeder)
        expected.insert(expected.end(), {CAP_FEEDERENABLED, CAP_DUPLEX, CAP_AUTOFEED,
                                         CAP_FEEDERLOADED, CAP_PAPERDETECTABLE});
    if (device_->duplex) expected.push_back(CAP_DUPLEXENABLED);
    expected.insert(expected.end(), device_->levels.begin(), device_->levels.end());
    std::sort(expected.begin(), expected.end());
    TW_CAPABILITY cap{CAP_SUPPORTEDCAPS, 0, nullptr};
    ASSERT_EQ(call(DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    std::vector<TW_UINT32> listed = takeAnswer(cap).values;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
    for (TW_UINT32 each : listed) {
        cap = TW_CAPABILITY{static_cast<TW_UINT16>(each), 0, nullptr};
        EXPECT_EQ(call(DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS) << each;
        if (cap.hContainer) takeAnswer(cap);
    }
    for (TW_UINT16 each : {CAP_FEEDERENABLED, CAP_DUPLEXENABLED, B, C, T, G}) {
        cap = TW_CAPABILITY{each, 0, nullptr};
        const bool answered = call(DAT_CAPABILITY, MSG_GET, &cap) == TWRC_SUCCESS;
        if (cap.hContainer) takeAnswer(cap);
        EXPECT_EQ(answered, std::binary_search(expected.begin(), expected.end(), each)) << each;
    }

    cap = TW_CAPABILITY{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(call(DAT_CAPABILITY, MSG_GET, &cap), TWRC_SUCCESS);
    std::vector<TW_UINT32> offered = takeAnswer(cap).values, types;
    for (int t = 0; t < 3; ++t)
        if (device_->modes[t] != nullptr) types.push_back(kTypes[t]);
    EXPECT_EQ(offered, types);
    for (int t = 0; t < 3; ++t) {
        if (device_->modes[t] == nullptr || *device_->modes[t] == '\0') continue;
        EXPECT_EQ(set(ICAP_PIXELTYPE, kTypes[t], TWTY_UINT16), TWRC_SUCCESS) << kTypeNames[t];
        EXPECT_EQ(optionText("mode"), device_->modes[t]) << kTypeNames[t];
    }

    // ICAP_XRESOLUTION is the device's resolution; ICAP_YRESOLUTION its y-resolution where it
    // has one of its own.
    EXPECT_NE(set(ICAP_XRESOLUTION, fix32Bits(toFix32(device_->dpi)), TWTY_FIX32), TWRC_FAILURE);
    EXPECT_EQ(number("resolution"), device_->dpi);
    if (device_->yResolution) {
        EXPECT_EQ(set(ICAP_YRESOLUTION, fix32Bits(toFix32(2 * device_->dpi)), TWTY_FIX32),
                  TWRC_SUCCESS);
        EXPECT_EQ(number("resolution"), device_->dpi);
        EXPECT_EQ(number("y-resolution"), 2 * device_->dpi);
    }

    if (device_->feeder) {
        EXPECT_EQ(set(CAP_FEEDERENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
        EXPECT_EQ(optionText("source"), device_->feeder);
    }
    if (device_->duplex) {
        EXPECT_EQ(set(CAP_DUPLEXENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
        EXPECT_EQ(optionText("source"), device_->duplex);
    }
    // The ends of TWAIN's scale are the ends of the option's range.
    for (TW_UINT16 level : device_->levels) {
        if (level == G) continue;  // the option's own value: nothing to scale
        const Option* role = level == B   ? opened->optionRoles().brightness
                             : level == C ? opened->optionRoles().contrast
                                          : opened->optionRoles().threshold;
        ASSERT_NE(role, nullptr) << level;
        const auto& option = dynamic_cast<const NumberOption&>(*role);
        const double top = level == T ? 255 : 1000, bottom = level == T ? 0 : -1000;
        EXPECT_EQ(set(level, fix32Bits(toFix32(top)), TWTY_FIX32), TWRC_SUCCESS) << level;
        EXPECT_DOUBLE_EQ(option.values.front(), highBound(option)) << level;
        EXPECT_EQ(set(level, fix32Bits(toFix32(bottom)), TWTY_FIX32), TWRC_SUCCESS) << level;
        EXPECT_DOUBLE_EQ(option.values.front(), lowBound(option)) << level;
    }
    EXPECT_EQ(call(DAT_IDENTITY, MSG_CLOSEDS, &assigned), TWRC_SUCCESS);
}

// The window shows a control for every option (the scan area's edges are the region's, the
// preview switch its Preview button's), previews, and scans the whole area.
TEST_P(ReplayListing, TheWindowPreviewsAndScans) {
    TFPreview& w = open();
    ScannerTransport* scanner = w.session().scanner();
    ASSERT_NE(scanner, nullptr);
    for (const auto& option : scanner->options()) {
        const bool edge = option->name == "tl-x" || option->name == "tl-y" ||
                          option->name == "br-x" || option->name == "br-y" ||
                          option->name == "preview";
        if (option->index != 0 && option->valueType() != SANE_TYPE_GROUP && !edge) {
            EXPECT_NE(option->control, nullptr) << option->name;
        }
    }
    auto* resolution = dynamic_cast<NumberOption*>(scanner->findOption("resolution"));
    ASSERT_NE(resolution, nullptr);
    scanner->setNumber(*resolution, device_->dpi);
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w, "BPreview")));
    EXPECT_GT(w.previewBitmap.width(), 0);
    scanner->setNumber(*resolution, device_->dpi);
    ASSERT_TRUE(driver.click(control<ui::ToolButton>(w, "BScan")));
    EXPECT_EQ(this->scanner.messages, (std::vector<TW_UINT16>{MSG_XFERREADY}));
    if (this->scanner.scans.empty()) this->scanner.getImage();
    ASSERT_EQ(this->scanner.scans.size(), 1u);
    expectPixels(this->scanner.scans[0].width, device_->width, device_->dpi, "width");
    // The y-resolution of a device that has one stays the window's.
    auto* y = dynamic_cast<NumberOption*>(scanner->findOption("y-resolution"));
    const int ydpi = device_->yResolution && y ? static_cast<int>(y->values.front()) : device_->dpi;
    expectPixels(this->scanner.scans[0].height, device_->height, ydpi, "height");
}

INSTANTIATE_TEST_SUITE_P(Devices, ReplayListing, ::testing::ValuesIn(listings()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// The folder must be there and hold the listings: a run that found none tested nothing.
TEST(ReplayListings, TheSharedFolderHoldsEveryListingTheTableKnows) {
    std::vector<std::string> known;
    for (const auto& [name, device] : devices()) known.push_back(name);
    EXPECT_EQ(listings(), known);
}

// A listing the backend cannot read fails the scan, and the daemon's log says where and why.
TEST_F(ReplayTest, AListingItCannotReadFailsLoudly) {
    const std::string header = "source: test\ndevice: test:0 | Acme Scanner\nbackend: test\n\n";
    const std::pair<std::string, const char*> cases[] = {
        {"not a listing\n", "line 1: not a device listing"},
        {header + "    --nvram <string> [Vendor: Acme\nModel: X\n", "line 5: a value whose"},
        {header + "    --resolution 50..lots [75]\n", "line 5: a range that is not numbers"},
        {header + "    --mode Gray||Color [Gray]\n", "line 5: an empty entry"},
        {header + "  Geometry:\n", "no options"},
        {header + std::string(1 << 20, ' '), "larger than 1 MiB"},
    };
    for (const auto& [text, error] : cases) {
        SCOPED_TRACE(error);
        const std::string path = folder.file("broken.txt");
        std::ofstream(path) << text;
        startDaemon(path);
        EXPECT_EQ(acquire("--resolution 75"), 1) << report_;
        EXPECT_TRUE(reported().empty()) << report_;
        std::ifstream log(saned_->configDir() + "/saned.log");
        std::stringstream logged;
        logged << log.rdbuf();
        EXPECT_NE(logged.str().find("sane-replay: " + path + ": " + error), std::string::npos)
            << logged.str();
    }
}

// The feeder gives SANE_REPLAY_PAGES pages per open, then the batch ends as an empty feeder ends
// it; the flatbed has no such end.
TEST_F(ReplayTest, TheFeederRunsEmptyAfterItsPages) {
    startDaemon((listingFolder() / "02-fujitsu-fi7260-adf.txt").string(), "2");
    ASSERT_EQ(acquire("--feeder --count 5 --resolution 50 --pixel-type bw"), 0) << report_;
    EXPECT_EQ(reported().size(), 2u) << report_;
    ASSERT_EQ(acquire("--flatbed --count 3 --resolution 50 --pixel-type bw"), 0) << report_;
    EXPECT_EQ(reported().size(), 1u) << report_;
}

}  // namespace
}  // namespace tarnwick::testing
