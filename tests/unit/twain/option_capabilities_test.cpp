// The capabilities answered from options: mode lists, depth and resolution constraints, the
// daemon adjusting a written value, and the failures of absent, inactive or unreadable options.
#include "twain/option_capabilities.h"
#include "twain/mode_names.h"

#include <gtest/gtest.h>

#include <cmath>

#include "options/number_option.h"
#include "options/string_option.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "unit/twain/container_reader.h"

namespace tarnwick::testing {
namespace {

using Values = std::vector<TW_UINT32>;

// A daemon in miniature: keeps the values sent, and can round numbers to a step and say so.
class ModelDevice : public OptionDevice {
  public:
    bool controlBool(Word, Option&, bool value) override { return value; }
    void controlNumbers(Word action, NumberOption& option) override {
        if (action != SANE_ACTION_SET_VALUE) return;
        ++writes;
        for (double& v : option.values) {
            const double rounded = roundTo > 0 ? std::round(v / roundTo) * roundTo : v;
            if (rounded != v) option.info = SANE_INFO_INEXACT;
            v = rounded;
        }
    }
    std::string controlString(Word action, Option&, const std::string& text) override {
        if (action == SANE_ACTION_SET_VALUE) mode = text;
        return mode;
    }
    std::string mode = "Color";
    double roundTo = 0;
    int writes = 0;
};

class OptionCapabilities : public ::testing::Test {
  protected:
    OptionCapabilities() : source(ScannerFactory{}, DsmLink()) {
        for (const char* m : {"Lineart", "Gray", "Color"}) mode.addChoice(m);
        for (double d : {1, 8, 16}) depth.addWordListEntry(d);
        depth.values = {8};
        resolution.setRange(50, 1200, 0);
        resolution.values = {300};
        useAllRoles();
    }
    void useAllRoles() {
        roles.mode = &mode;
        roles.depth = &depth;
        roles.resolution = &resolution;
        roles.tlx = &tlx;
        roles.tly = &tly;
        roles.brx = &brx;
        roles.bry = &bry;
    }

    using Handler = TW_UINT16 (*)(DataSource&, const OptionRoles&, TW_UINT16, TW_CAPABILITY*);
    TW_UINT16 ask(Handler handler, TW_UINT16 msg, TW_UINT16 capability = 0) {
        cap = TW_CAPABILITY{};
        cap.Cap = capability;
        source.conditionCode = TWCC_SUCCESS;
        return handler(source, roles, msg, msg == MSG_RESET ? nullptr : &cap);
    }
    Answer answer(Handler handler, TW_UINT16 msg, TW_UINT16 capability = 0) {
        EXPECT_EQ(ask(handler, msg, capability), TWRC_SUCCESS);
        return takeAnswer(cap);
    }
    TW_UINT16 send(Handler handler, SentContainer& sent) {
        source.conditionCode = TWCC_SUCCESS;
        return handler(source, roles, MSG_SET, &sent.cap);
    }

    ModelDevice device;
    StringOption mode{1, "mode", "", "", 0, 32, 0, &device};
    NumberOption depth{2, "depth", "", "", 0, 4, 0, &device};
    NumberOption resolution{3, "resolution", "", "", 4, 4, 0, &device};
    NumberOption tlx{4, "tl-x", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption tly{5, "tl-y", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption brx{6, "br-x", "", "", SANE_UNIT_MM, 4, 0, &device};
    NumberOption bry{7, "br-y", "", "", 0, 4, 0, &device};
    NumberOption yResolution{8, "y-resolution", "", "", 4, 4, 0, &device};
    OptionRoles roles;
    DataSource source;
    TW_CAPABILITY cap{};
};

// The modes of real backends: the type, the bits per sample, and whether it is the plain one.
TEST(ModeClassification, RealBackendsModes) {
    struct Case {
        const char* mode;
        int type, depth;
        bool plain;
    };
    const Case cases[] = {
        {"Black & White", TWPT_BW, 1, true},
        {"Monochrome", TWPT_BW, 1, true},
        {"Binary", TWPT_BW, 1, true},
        {"Halftone", TWPT_BW, 1, false},
        {"Dithered", TWPT_BW, 1, false},
        {"Gray[Error Diffusion]", TWPT_BW, 1, false},
        {"True Gray", TWPT_GRAY, 8, true},
        {"Grayscale", TWPT_GRAY, 8, true},
        {"16bit Gray", TWPT_GRAY, 16, true},
        {"12bit Gray", TWPT_GRAY, 16, true},
        {"24bit Color[Fast]", TWPT_RGB, 8, false},
        {"24bit Color", TWPT_RGB, 8, true},
        {"48bit Color", TWPT_RGB, 16, true},
        {"12bit Color", TWPT_RGB, 16, true},
    };
    for (const Case& c : cases) {
        const ModeKind kind = modeKind(c.mode);
        EXPECT_EQ(kind.type, c.type) << c.mode;
        EXPECT_EQ(kind.depth, c.depth) << c.mode;
        EXPECT_EQ(kind.plain, c.plain) << c.mode;
    }
}

TEST(ModeClassification, TheChosenModeIsThePlainOneOfItsDepth) {
    const std::vector<std::string> brother = {"Black & White", "Gray[Error Diffusion]", "True Gray",
                                              "24bit Color[Fast]"};
    EXPECT_EQ(chooseMode(brother, TWPT_BW), 0);
    EXPECT_EQ(chooseMode(brother, TWPT_GRAY), 2);
    EXPECT_EQ(chooseMode(brother, TWPT_RGB), 3) << "a variant where nothing plainer exists";
    EXPECT_EQ(chooseMode(brother, TWPT_GRAY, 16), -1);
    const std::vector<std::string> avision = {"Halftone", "Lineart", "16bit Gray", "Gray"};
    EXPECT_EQ(chooseMode(avision, TWPT_BW), 1);
    EXPECT_EQ(chooseMode(avision, TWPT_GRAY), 3);
    EXPECT_EQ(chooseMode(avision, TWPT_GRAY, 16), 2);
}

// 16-bit samples by mode: ICAP_BITDEPTH offers them by memory transfer and selects the mode.
TEST_F(OptionCapabilities, SixteenBitsByMode) {
    roles.depth = nullptr;
    mode.choices = {"Lineart", "Gray", "16bit Gray", "Color"};
    device.mode = "Gray";
    source.transferMechanism = TWSX_MEMORY;
    EXPECT_EQ(answer(bitDepthCapability, MSG_GET).values, (Values{8, 16}));
    SentContainer sixteen(ICAP_BITDEPTH, 16);
    EXPECT_EQ(send(bitDepthCapability, sixteen), TWRC_SUCCESS);
    EXPECT_EQ(device.mode, "16bit Gray");
    EXPECT_EQ(answer(pixelTypeCapability, MSG_GETCURRENT).values, Values{TWPT_GRAY});
    EXPECT_EQ(answer(bitDepthCapability, MSG_GETCURRENT).values, Values{16});
    SentContainer gray(ICAP_PIXELTYPE, TWPT_GRAY);
    EXPECT_EQ(send(pixelTypeCapability, gray), TWRC_SUCCESS);
    EXPECT_EQ(device.mode, "Gray") << "a pixel type takes its usual depth";
    source.transferMechanism = TWSX_NATIVE;
    EXPECT_EQ(answer(bitDepthCapability, MSG_GET).values, Values{8});
}

TEST(ModeClassification, FollowsTheWordsInOrder) {
    EXPECT_EQ(classifyMode("Lineart"), TWPT_BW);
    EXPECT_EQ(classifyMode("Binary colour"), TWPT_BW);  // "binary" is tested before "colo"
    EXPECT_EQ(classifyMode("GREY"), TWPT_GRAY);
    EXPECT_EQ(classifyMode("24bit RGB"), TWPT_RGB);
    EXPECT_EQ(classifyMode("Infrared"), -1);
}

TEST_F(OptionCapabilities, PixelTypesAreTheClassifiedModes) {
    Answer types = answer(pixelTypeCapability, MSG_GET);
    EXPECT_EQ(types.conType, TWON_ENUMERATION);
    EXPECT_EQ(types.values, (Values{TWPT_BW, TWPT_GRAY, TWPT_RGB}));
    EXPECT_EQ(types.currentIndex, 2u);
    EXPECT_EQ(types.defaultIndex, 0u);
    EXPECT_EQ(answer(pixelTypeCapability, MSG_GETDEFAULT).values, Values{TWPT_BW});

    device.mode = "Infrared";  // no recognised word: colour
    EXPECT_EQ(answer(pixelTypeCapability, MSG_GETCURRENT).values, Values{TWPT_RGB});

    SentContainer gray(ICAP_PIXELTYPE, TWPT_GRAY);
    EXPECT_EQ(send(pixelTypeCapability, gray), TWRC_SUCCESS);
    EXPECT_EQ(device.mode, "Gray");
    SentContainer listed(ICAP_PIXELTYPE, SentContainer::List{{TWPT_GRAY, TWPT_BW}, 1});
    EXPECT_EQ(send(pixelTypeCapability, listed), TWRC_SUCCESS);
    EXPECT_EQ(device.mode, "Lineart");
    SentContainer palette(ICAP_PIXELTYPE, TWPT_PALETTE);
    EXPECT_EQ(send(pixelTypeCapability, palette), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_BADVALUE);
    SentContainer outside(ICAP_PIXELTYPE,
                          SentContainer::List{{TWPT_GRAY}, 1});  // index past the list
    EXPECT_EQ(send(pixelTypeCapability, outside), TWRC_FAILURE);
    EXPECT_EQ(device.mode, "Lineart");
}

TEST_F(OptionCapabilities, BlackAndWhiteWithoutALineartModeIsGrayWithCheckStatus) {
    mode.choices = {"Color", "Gray"};
    depth.wordList = {8, 16};  // no grey of 1 bit either
    EXPECT_EQ(answer(pixelTypeCapability, MSG_GET).values, (Values{TWPT_GRAY, TWPT_RGB}));
    EXPECT_EQ(answer(pixelTypeCapability, MSG_GETDEFAULT).values, Values{TWPT_GRAY});
    SentContainer bw(ICAP_PIXELTYPE, TWPT_BW);
    EXPECT_EQ(send(pixelTypeCapability, bw), TWRC_CHECKSTATUS);
    EXPECT_EQ(device.mode, "Gray");
    device.mode = "Color";
    EXPECT_EQ(ask(pixelTypeCapability, MSG_RESET), TWRC_SUCCESS);
    EXPECT_EQ(device.mode, "Gray");

    mode.choices = {"Infrared"};
    EXPECT_EQ(ask(pixelTypeCapability, MSG_RESET), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_BADVALUE);
}

TEST_F(OptionCapabilities, ResolutionRangeListAndRounding) {
    Answer range = answer(resolutionCapability, MSG_GET, ICAP_XRESOLUTION);
    EXPECT_EQ(range.itemType, TWTY_FIX32);
    EXPECT_EQ(range.values, (Values{50, 1200, 1, 72, 300}));  // Frac 0: the images are whole
    EXPECT_EQ(answer(nativeResolutionCapability, MSG_GET).values, Values{1200});

    resolution.constraintKind = numberNone;
    for (double r : {75, 150, 300, 600}) resolution.addWordListEntry(r);
    Answer list = answer(resolutionCapability, MSG_GET, ICAP_YRESOLUTION);
    EXPECT_EQ(list.values, (Values{75, 150, 300, 600}));
    EXPECT_EQ(list.currentIndex, 2u);
    EXPECT_EQ(list.defaultIndex, 0u);
    EXPECT_EQ(answer(nativeResolutionCapability, MSG_GET).values, Values{600});
    EXPECT_EQ(answer(resolutionCapability, MSG_GETDEFAULT).values, Values{72});

    SentContainer set(ICAP_XRESOLUTION, fix32Bits(toFix32(600)), TWTY_FIX32);
    resolution.values = {50.0 / 65536};  // a daemon that starts at a fraction still takes a set
    EXPECT_EQ(send(resolutionCapability, set), TWRC_CHECKSTATUS);  // the Y resolution changed
    EXPECT_EQ(send(resolutionCapability, set), TWRC_SUCCESS);
    EXPECT_EQ(resolution.values, std::vector<double>{600});
    SentContainer fraction(ICAP_XRESOLUTION, fix32Bits(toFix32(600.75)), TWTY_FIX32);
    EXPECT_EQ(send(resolutionCapability, fraction), TWRC_CHECKSTATUS);  // whole dots only
    EXPECT_EQ(resolution.values, std::vector<double>{600});
    device.roundTo = 100;
    SentContainer odd(ICAP_XRESOLUTION, fix32Bits(toFix32(250)), TWTY_FIX32);
    EXPECT_EQ(send(resolutionCapability, odd), TWRC_CHECKSTATUS);
    EXPECT_EQ(answer(resolutionCapability, MSG_GETCURRENT).values, Values{300});
    EXPECT_EQ(ask(resolutionCapability, MSG_RESET), TWRC_CHECKSTATUS);  // 72 became 100
    SentContainer listed(ICAP_XRESOLUTION, SentContainer::List{{300}, 0});
    EXPECT_EQ(send(resolutionCapability, listed), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_BADVALUE);
}

// A descending list's first entry is its finest; a y-resolution of its own is one axis alone.
TEST_F(OptionCapabilities, ResolutionListsDescendingAndAYAxisOfItsOwn) {
    resolution.constraintKind = numberNone;
    for (double r : {4800, 1200, 300, 75}) resolution.addWordListEntry(r);
    EXPECT_EQ(answer(nativeResolutionCapability, MSG_GET).values, Values{4800});
    for (double r : {80, 200, 400}) yResolution.addWordListEntry(r);
    yResolution.values = {200};
    roles.yResolution = &yResolution;
    EXPECT_EQ(answer(yResolutionCapability, MSG_GET, ICAP_YRESOLUTION).values,
              (Values{80, 200, 400}));
    SentContainer y(ICAP_YRESOLUTION, fix32Bits(toFix32(400)), TWTY_FIX32);
    EXPECT_EQ(send(yResolutionCapability, y), TWRC_SUCCESS) << "the x axis stays";
    EXPECT_EQ(yResolution.values, std::vector<double>{400});
    EXPECT_EQ(resolution.values, std::vector<double>{300});
    SentContainer x(ICAP_XRESOLUTION, fix32Bits(toFix32(1200)), TWTY_FIX32);
    EXPECT_EQ(send(resolutionCapability, x), TWRC_SUCCESS);
    EXPECT_EQ(answer(yResolutionCapability, MSG_GETCURRENT).values, Values{400});
    // Without it both axes are the one resolution.
    roles.yResolution = nullptr;
    EXPECT_EQ(answer(yResolutionCapability, MSG_GETCURRENT).values, Values{1200});
    EXPECT_EQ(send(yResolutionCapability, y), TWRC_CHECKSTATUS);
}

TEST_F(OptionCapabilities, PhysicalSizeFromTheGeometryBounds) {
    tlx.setRange(0, 215.9, 0);
    brx.setRange(0, 215.9, 0);
    tly.setRange(10, 100, 0);
    bry.setRange(0, 730, 0);  // not millimetres: points
    Answer width = answer(physicalSizeCapability, MSG_GET, ICAP_PHYSICALWIDTH);
    EXPECT_NEAR(fromFix32(TW_FIX32{static_cast<TW_INT16>(width.values[0] & 0xFFFF),
                                   static_cast<TW_UINT16>(width.values[0] >> 16)}),
                8.5, 1e-4);
    Answer height = answer(physicalSizeCapability, MSG_GETDEFAULT, ICAP_PHYSICALHEIGHT);
    EXPECT_EQ(height.values, Values{fix32Bits(toFix32(720 / 72.0))});
}

TEST_F(OptionCapabilities, AbsentInactiveAndUnreadableOptions) {
    roles = OptionRoles{};
    for (Handler handler :
         {resolutionCapability, nativeResolutionCapability, physicalSizeCapability}) {
        EXPECT_EQ(ask(handler, MSG_GET, ICAP_PHYSICALWIDTH), TWRC_FAILURE);
        EXPECT_EQ(source.conditionCode, TWCC_CAPUNSUPPORTED);
    }
    // A device without a mode scans colour, at 8 bits a sample.
    EXPECT_EQ(answer(pixelTypeCapability, MSG_GET).values, Values{TWPT_RGB});
    EXPECT_EQ(answer(bitDepthCapability, MSG_GET).values, Values{24});
    SentContainer gray(ICAP_PIXELTYPE, TWPT_GRAY);
    EXPECT_EQ(send(pixelTypeCapability, gray), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_BADVALUE);
    useAllRoles();
    depth.capabilities = resolution.capabilities = brx.capabilities = SANE_CAP_INACTIVE;
    // An inactive depth leaves the mode its one depth.
    EXPECT_EQ(answer(bitDepthCapability, MSG_GET).values, Values{24});
    EXPECT_EQ(ask(resolutionCapability, MSG_RESET), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_CAPSEQERROR);
    EXPECT_EQ(ask(physicalSizeCapability, MSG_GET, ICAP_PHYSICALWIDTH), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_CAPSEQERROR);
    SentContainer eight(ICAP_BITDEPTH, 8);
    EXPECT_EQ(send(bitDepthCapability, eight), TWRC_CHECKSTATUS);

    depth.capabilities = resolution.capabilities = 0;
    depth.isFixed = resolution.isFixed = true;
    depth.values = {7.5};
    resolution.values = {299.5};
    device.mode = "Gray";  // whose type depends on the depth
    EXPECT_EQ(ask(bitDepthCapability, MSG_GETCURRENT), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(ask(resolutionCapability, MSG_GET), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_CAPUNSUPPORTED);
}

}  // namespace
}  // namespace tarnwick::testing

namespace tarnwick::testing {
namespace {

TW_UINT32 level(double value) {
    return fix32Bits(toFix32(value));
}

// Brightness and contrast: the option's range laid onto -1000..1000, its steps kept.
TEST_F(OptionCapabilities, LevelsMapTheOptionRangeOntoTwainsScale) {
    NumberOption brightness{8, "brightness", "", "", 0, 4, 0, &device};
    brightness.setRange(-100, 100, 1);
    brightness.values = {50};
    EXPECT_TRUE(servesLevel(&brightness));
    const auto levelAsk = [&](TW_UINT16 msg) {
        cap = TW_CAPABILITY{ICAP_BRIGHTNESS, 0, nullptr};
        return levelCapability(source, ICAP_BRIGHTNESS, &brightness, msg,
                               msg == MSG_RESET ? nullptr : &cap);
    };
    ASSERT_EQ(levelAsk(MSG_GET), TWRC_SUCCESS);
    const Answer range = takeAnswer(cap);
    EXPECT_EQ(range.conType, TWON_RANGE);
    EXPECT_EQ(range.values, (Values{level(-1000), level(1000), level(10), level(0), level(500)}));

    SentContainer quarter(ICAP_BRIGHTNESS, level(-250), TWTY_FIX32);
    EXPECT_EQ(levelCapability(source, ICAP_BRIGHTNESS, &brightness, MSG_SET, &quarter.cap),
              TWRC_SUCCESS);
    EXPECT_EQ(brightness.values, std::vector<double>{-25});
    SentContainer between(ICAP_BRIGHTNESS, level(1), TWTY_FIX32);  // off the steps of 10
    EXPECT_EQ(levelCapability(source, ICAP_BRIGHTNESS, &brightness, MSG_SET, &between.cap),
              TWRC_CHECKSTATUS);
    EXPECT_EQ(brightness.values, std::vector<double>{0});
    SentContainer beyond(ICAP_BRIGHTNESS, level(1000.5), TWTY_FIX32);
    EXPECT_EQ(levelCapability(source, ICAP_BRIGHTNESS, &brightness, MSG_SET, &beyond.cap),
              TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_BADVALUE);
    brightness.values = {100};
    EXPECT_EQ(levelAsk(MSG_RESET), TWRC_SUCCESS);
    EXPECT_EQ(brightness.values, std::vector<double>{0});

    NumberOption listed{9, "contrast", "", "", 0, 4, 0, &device};
    listed.addWordListEntry(1);
    listed.values = {1};
    EXPECT_FALSE(servesLevel(&listed));
    EXPECT_FALSE(servesLevel(nullptr));
    EXPECT_EQ(levelCapability(source, ICAP_BRIGHTNESS, nullptr, MSG_GET, &cap), TWRC_FAILURE);
    EXPECT_EQ(source.conditionCode, TWCC_CAPUNSUPPORTED);
}

}  // namespace
}  // namespace tarnwick::testing
