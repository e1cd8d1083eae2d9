// Every capability answers the messages of TWAIN 2.4 consistently. The option-based ones: one
// row per device state, capability, message and sent value, with the answer and what the device
// then holds. The feeder, duplex, count, size and unit ones: MSG_QUERYSUPPORT tells which
// messages each takes, MSG_GET's current and default are those of MSG_GETCURRENT and
// MSG_GETDEFAULT, a value set is read back, MSG_RESET answers and restores the default, and a
// value the device cannot take changes nothing; then what the feeder, duplex and page-size values
// do to the options and the frame, and which capabilities a device's options make the source list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "options/number_option.h"
#include "options/option_factory.h"
#include "options/string_option.h"
#include "support/descriptor_builder.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "twain/option_capabilities.h"
#include "unit/twain/container_reader.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

using Values = std::vector<TW_UINT32>;

// Keeps what is sent; the test backend's modes and depths, a percent threshold, a gamma.
class MessageDevice : public OptionDevice {
  public:
    bool controlBool(Word, Option&, bool value) override { return value; }
    void controlNumbers(Word, NumberOption&) override {}
    std::string controlString(Word action, Option&, const std::string& text) override {
        if (action == SANE_ACTION_SET_VALUE) mode = text;
        return mode;
    }
    std::string mode = "Gray";
};

TW_UINT32 fix(double value) {
    return fix32Bits(toFix32(value));
}

struct Row {
    const char* what;
    const char* mode;  // the device before the request
    double depth;
    bool memory;  // ICAP_XFERMECH is TWSX_MEMORY
    TW_UINT16 cap;
    TW_UINT16 msg;
    std::optional<TW_UINT32> sent;  // the one value of MSG_SET
    TW_UINT16 rc;
    Values answer;  // one value, range, or enumeration items
    TW_UINT32 currentIndex = 0, defaultIndex = 0;
    const char* modeAfter = nullptr;  // the device after the request, where it matters
    double depthAfter = 0;
    double optionAfter = 0;  // resolution, threshold or gamma
};

const Row kRows[] = {
    // Pixel types: black and white is grey at 1 bit; a reset keeps grey at 8 bits.
    {"types", "Gray", 8, false, ICAP_PIXELTYPE, MSG_GET, {}, TWRC_SUCCESS, {0, 1, 2}, 1, 1},
    {"grey at 1 bit is bw",
     "Gray",
     1,
     false,
     ICAP_PIXELTYPE,
     MSG_GETCURRENT,
     {},
     TWRC_SUCCESS,
     {TWPT_BW}},
    {"default type",
     "Color",
     8,
     false,
     ICAP_PIXELTYPE,
     MSG_GETDEFAULT,
     {},
     TWRC_SUCCESS,
     {TWPT_GRAY}},
    {"set bw",
     "Color",
     8,
     false,
     ICAP_PIXELTYPE,
     MSG_SET,
     TWPT_BW,
     TWRC_SUCCESS,
     {},
     0,
     0,
     "Gray",
     1},
    {"bw to rgb",
     "Gray",
     1,
     false,
     ICAP_PIXELTYPE,
     MSG_SET,
     TWPT_RGB,
     TWRC_SUCCESS,
     {},
     0,
     0,
     "Color",
     8},
    {"rgb keeps 16 bits",
     "Gray",
     16,
     true,
     ICAP_PIXELTYPE,
     MSG_SET,
     TWPT_RGB,
     TWRC_SUCCESS,
     {},
     0,
     0,
     "Color",
     16},
    {"reset type",
     "Gray",
     1,
     false,
     ICAP_PIXELTYPE,
     MSG_RESET,
     {},
     TWRC_SUCCESS,
     {},
     0,
     0,
     "Gray",
     8},
    // Bits per pixel of the current type; 16-bit samples only where memory transfers them.
    {"grey native", "Gray", 8, false, ICAP_BITDEPTH, MSG_GET, {}, TWRC_SUCCESS, {8}},
    {"grey memory", "Gray", 16, true, ICAP_BITDEPTH, MSG_GET, {}, TWRC_SUCCESS, {8, 16}, 1, 0},
    {"colour memory", "Color", 8, true, ICAP_BITDEPTH, MSG_GET, {}, TWRC_SUCCESS, {24, 48}},
    {"bw", "Gray", 1, true, ICAP_BITDEPTH, MSG_GET, {}, TWRC_SUCCESS, {1}},
    {"16 bits go native as 8",
     "Color",
     16,
     false,
     ICAP_BITDEPTH,
     MSG_GETCURRENT,
     {},
     TWRC_SUCCESS,
     {24}},
    {"48 by memory", "Color", 16, true, ICAP_BITDEPTH, MSG_GETCURRENT, {}, TWRC_SUCCESS, {48}},
    {"default depth", "Color", 16, true, ICAP_BITDEPTH, MSG_GETDEFAULT, {}, TWRC_SUCCESS, {24}},
    {"set 48", "Color", 8, true, ICAP_BITDEPTH, MSG_SET, 48, TWRC_SUCCESS, {}, 0, 0, "Color", 16},
    {"set 24", "Color", 16, true, ICAP_BITDEPTH, MSG_SET, 24, TWRC_SUCCESS, {}, 0, 0, "Color", 8},
    {"16 native is not taken",
     "Gray",
     8,
     false,
     ICAP_BITDEPTH,
     MSG_SET,
     16,
     TWRC_CHECKSTATUS,
     {},
     0,
     0,
     "Gray",
     8},
    {"grey has no 1",
     "Gray",
     8,
     true,
     ICAP_BITDEPTH,
     MSG_SET,
     1,
     TWRC_CHECKSTATUS,
     {},
     0,
     0,
     "Gray",
     8},
    {"reset depth",
     "Gray",
     16,
     true,
     ICAP_BITDEPTH,
     MSG_RESET,
     {},
     TWRC_SUCCESS,
     {},
     0,
     0,
     "Gray",
     8},
    // One resolution for both directions, in whole dots per inch.
    {"resolutions",
     "Gray",
     8,
     false,
     ICAP_XRESOLUTION,
     MSG_GET,
     {},
     TWRC_SUCCESS,
     {fix(1), fix(1200), fix(1), fix(72), fix(300)}},
    {"resolution",
     "Gray",
     8,
     false,
     ICAP_YRESOLUTION,
     MSG_GETCURRENT,
     {},
     TWRC_SUCCESS,
     {fix(300)}},
    {"default resolution",
     "Gray",
     8,
     false,
     ICAP_XRESOLUTION,
     MSG_GETDEFAULT,
     {},
     TWRC_SUCCESS,
     {fix(72)}},
    {"same as the other",
     "Gray",
     8,
     false,
     ICAP_YRESOLUTION,
     MSG_SET,
     fix(300),
     TWRC_SUCCESS,
     {},
     0,
     0,
     nullptr,
     0,
     300},
    {"the other changes",
     "Gray",
     8,
     false,
     ICAP_XRESOLUTION,
     MSG_SET,
     fix(150),
     TWRC_CHECKSTATUS,
     {},
     0,
     0,
     nullptr,
     0,
     150},
    {"a fraction",
     "Gray",
     8,
     false,
     ICAP_XRESOLUTION,
     MSG_SET,
     fix(300.7),
     TWRC_CHECKSTATUS,
     {},
     0,
     0,
     nullptr,
     0,
     300},
    {"reset resolution",
     "Gray",
     8,
     false,
     ICAP_YRESOLUTION,
     MSG_RESET,
     {},
     TWRC_SUCCESS,
     {},
     0,
     0,
     nullptr,
     0,
     72},
    // Threshold: 0..100 % on TWAIN's 0..255.
    {"thresholds",
     "Gray",
     1,
     false,
     ICAP_THRESHOLD,
     MSG_GET,
     {},
     TWRC_SUCCESS,
     {fix(0), fix(255), fix(2.55), fix(128), fix(127.5)}},
    {"threshold", "Gray", 1, false, ICAP_THRESHOLD, MSG_GETCURRENT, {}, TWRC_SUCCESS, {fix(127.5)}},
    {"default threshold",
     "Gray",
     1,
     false,
     ICAP_THRESHOLD,
     MSG_GETDEFAULT,
     {},
     TWRC_SUCCESS,
     {fix(128)}},
    {"set threshold",
     "Gray",
     1,
     false,
     ICAP_THRESHOLD,
     MSG_SET,
     fix(51),
     TWRC_SUCCESS,
     {},
     0,
     0,
     nullptr,
     0,
     20},
    {"beyond 255",
     "Gray",
     1,
     false,
     ICAP_THRESHOLD,
     MSG_SET,
     fix(300),
     TWRC_FAILURE,
     {},
     0,
     0,
     nullptr,
     0,
     50},
    {"reset threshold",
     "Gray",
     1,
     false,
     ICAP_THRESHOLD,
     MSG_RESET,
     {},
     TWRC_CHECKSTATUS,
     {},
     0,
     0,
     nullptr,
     0,
     50},
    // Gamma: the option's own value.
    {"gammas",
     "Color",
     8,
     false,
     ICAP_GAMMA,
     MSG_GET,
     {},
     TWRC_SUCCESS,
     {fix(1), fix(3), fix(0.1), fix(2.2), fix(1.8)}},
    {"gamma", "Color", 8, false, ICAP_GAMMA, MSG_GETCURRENT, {}, TWRC_SUCCESS, {fix(1.8)}},
    {"default gamma", "Color", 8, false, ICAP_GAMMA, MSG_GETDEFAULT, {}, TWRC_SUCCESS, {fix(2.2)}},
    {"set gamma",
     "Color",
     8,
     false,
     ICAP_GAMMA,
     MSG_SET,
     fix(2.5),
     TWRC_SUCCESS,
     {},
     0,
     0,
     nullptr,
     0,
     2.5},
    {"reset gamma",
     "Color",
     8,
     false,
     ICAP_GAMMA,
     MSG_RESET,
     {},
     TWRC_SUCCESS,
     {},
     0,
     0,
     nullptr,
     0,
     2.2},
};

class CapabilityMessages : public ::testing::TestWithParam<Row> {
  protected:
    CapabilityMessages() : source(ScannerFactory{}, DsmLink()) {
        for (const char* m : {"Gray", "Color"}) mode.addChoice(m);
        for (double d : {1, 8, 16}) depth.addWordListEntry(d);
        resolution.setRange(1, 1200, 1);
        resolution.values = {300};
        threshold.setRange(0, 100, 1);
        threshold.values = {50};
        gamma.isFixed = true;
        gamma.setRange(1, 3, 0.1);
        gamma.values = {1.8};
        roles.mode = &mode;
        roles.depth = &depth;
        roles.resolution = &resolution;
    }

    TW_UINT16 run(const Row& row, TW_CAPABILITY* cap) {
        switch (row.cap) {
            case ICAP_PIXELTYPE:
                return pixelTypeCapability(source, roles, row.msg, cap);
            case ICAP_BITDEPTH:
                return bitDepthCapability(source, roles, row.msg, cap);
            case ICAP_THRESHOLD:
                return levelCapability(source, row.cap, &threshold, row.msg, cap);
            case ICAP_GAMMA:
                return levelCapability(source, row.cap, &gamma, row.msg, cap);
            default:
                return resolutionCapability(source, roles, row.msg, cap);
        }
    }

    double optionOf(TW_UINT16 cap) const {
        return cap == ICAP_THRESHOLD ? threshold.values[0]
               : cap == ICAP_GAMMA   ? gamma.values[0]
                                     : resolution.values[0];
    }

    MessageDevice device;
    StringOption mode{1, "mode", "", "", 0, 32, 0, &device};
    NumberOption depth{2, "depth", "", "", 0, 4, 0, &device};
    NumberOption resolution{3, "resolution", "", "", 4, 4, 0, &device};
    NumberOption threshold{4, "threshold", "", "", SANE_UNIT_PERCENT, 4, 0, &device};
    NumberOption gamma{5, "analog-gamma", "", "", 0, 4, 0, &device};
    OptionRoles roles;
    DataSource source;
};

TEST_P(CapabilityMessages, AnswerAndDeviceAfterwards) {
    const Row& row = GetParam();
    device.mode = row.mode;
    depth.values = {row.depth};
    source.transferMechanism = row.memory ? TWSX_MEMORY : TWSX_NATIVE;
    const bool reads = row.msg == MSG_GET || row.msg == MSG_GETCURRENT || row.msg == MSG_GETDEFAULT;
    const double optionBefore = optionOf(row.cap);

    TW_CAPABILITY cap{row.cap, 0, nullptr};
    std::optional<SentContainer> sent;
    if (row.sent) {
        const bool fixed = row.cap != ICAP_PIXELTYPE && row.cap != ICAP_BITDEPTH;
        sent.emplace(row.cap, *row.sent, fixed ? TWTY_FIX32 : TWTY_UINT16);
    }
    TW_CAPABILITY* argument = sent ? &sent->cap : row.msg == MSG_RESET ? nullptr : &cap;
    ASSERT_EQ(run(row, argument), row.rc) << "condition " << source.conditionCode;
    if (reads) {
        const Answer answer = takeAnswer(cap);
        EXPECT_EQ(answer.values, row.answer);
        if (answer.conType == TWON_ENUMERATION) {
            EXPECT_EQ(answer.currentIndex, row.currentIndex);
            EXPECT_EQ(answer.defaultIndex, row.defaultIndex);
        }
        // Reading changes nothing.
        EXPECT_EQ(device.mode, row.mode);
        EXPECT_EQ(depth.values[0], row.depth);
        EXPECT_EQ(optionOf(row.cap), optionBefore);
        return;
    }
    if (row.modeAfter) {
        EXPECT_EQ(device.mode, row.modeAfter);
        EXPECT_EQ(depth.values[0], row.depthAfter);
    }
    if (row.optionAfter != 0) {
        EXPECT_NEAR(optionOf(row.cap), row.optionAfter, 1e-4);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CapabilityMessages, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name + "_" + std::to_string(info.index);
                         });

// Keeps each option's text and the paper sensor's state as a daemon would.
class SourceDevice : public OptionDevice {
  public:
    bool controlBool(Word, Option&, bool) override { return paperLoaded; }
    void controlNumbers(Word, NumberOption&) override {}
    std::string controlString(Word action, Option& option, const std::string& text) override {
        if (action == SANE_ACTION_SET_VALUE) texts[option.name] = text;
        return texts[option.name];
    }
    std::map<std::string, std::string> texts;
    bool paperLoaded = false;
};

class DocumentCapabilityMessages : public SourceTest {
  protected:
    void SetUp() override {
        device.texts["source"] = "Flatbed";
        scanner.roles.feeder = sourceOption.get();
        scanner.wholeArea = ScanRectangle{0, 0, 216, 300};  // A4 and US letter fit, A3 not
        ASSERT_NO_FATAL_FAILURE(bringTo(4));
        scanner.roles.feeder = sourceOption.get();
        scanner.wholeArea = ScanRectangle{0, 0, 216, 300};
    }
    std::unique_ptr<Option> makeSource(std::vector<std::string> entries) {
        return makeOption(DescriptorBuilder(1, "source", SANE_TYPE_STRING).stringList(entries),
                          &device, false);
    }

    TW_UINT16 request(TW_UINT16 msg, TW_UINT16 capability) {
        cap = TW_CAPABILITY{};
        cap.Cap = capability;
        return call(DG_CONTROL, DAT_CAPABILITY, msg, &cap);
    }
    Answer get(TW_UINT16 msg, TW_UINT16 capability) {
        EXPECT_EQ(request(msg, capability), TWRC_SUCCESS) << capability << " " << msg;
        return takeAnswer(cap);
    }
    TW_UINT32 one(TW_UINT16 msg, TW_UINT16 capability) {
        const Answer a = get(msg, capability);
        EXPECT_EQ(a.conType, TWON_ONEVALUE);
        return a.values.empty() ? 0xDEAD : a.values[0];
    }
    TW_UINT16 set(TW_UINT16 capability, TW_UINT32 item, TW_UINT16 type) {
        SentContainer sent(capability, item, type);
        return call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &sent.cap);
    }

    SourceDevice device;
    std::unique_ptr<Option> sourceOption = makeSource({"Flatbed", "ADF Front", "ADF Duplex"});
    TW_CAPABILITY cap{};
};

constexpr TW_UINT32 kAll = 31, kGetOnly = 13;
constexpr TW_UINT32 kNone = 0xFFFF0000;  // a row without a value to refuse

TEST_F(DocumentCapabilityMessages, EachCapabilityAnswersTheSixMessagesConsistently) {
    struct CapabilityRow {
        TW_UINT16 cap;
        TW_UINT32 query;
        TW_UINT16 type;
        TW_UINT32 current, byDefault;
        TW_UINT32 value;    // set, then read back (settable rows)
        TW_UINT32 refused;  // answered TWCC_BADVALUE, or kNone
    };
    const CapabilityRow rows[] = {
        {CAP_XFERCOUNT, kAll, TWTY_INT16, 0xFFFFFFFF, 0xFFFFFFFF, 3, 0},
        {ICAP_UNITS, kAll, TWTY_UINT16, TWUN_INCHES, TWUN_INCHES, TWUN_PIXELS, 2},
        {ICAP_SUPPORTEDSIZES, kAll, TWTY_UINT16, TWSS_NONE, TWSS_NONE, TWSS_A4, TWSS_A3},
        // On the flatbed, before the feeder rows switch it.
        {CAP_DUPLEX, kGetOnly, TWTY_UINT16, TWDX_1PASSDUPLEX, TWDX_1PASSDUPLEX, 0, kNone},
        {CAP_FEEDERLOADED, kGetOnly, TWTY_BOOL, 0, 0, 0, kNone},
        {CAP_PAPERDETECTABLE, kGetOnly, TWTY_BOOL, 0, 0, 0, kNone},
        {CAP_FEEDERENABLED, kAll, TWTY_BOOL, 0, 0, 1, kNone},
        {CAP_DUPLEXENABLED, kAll, TWTY_BOOL, 0, 0, 1, kNone},
        {CAP_AUTOFEED, kAll, TWTY_BOOL, 1, 1, 1, 0},
    };
    for (const CapabilityRow& r : rows) {
        SCOPED_TRACE(r.cap);
        EXPECT_EQ(one(MSG_QUERYSUPPORT, r.cap), r.query);
        const Answer listed = get(MSG_GET, r.cap);
        EXPECT_EQ(listed.itemType, r.type);
        if (listed.conType == TWON_ENUMERATION) {
            ASSERT_LT(listed.currentIndex, listed.values.size());
            EXPECT_EQ(listed.values[listed.currentIndex], r.current);
            EXPECT_EQ(listed.values[listed.defaultIndex], r.byDefault);
        } else {
            EXPECT_EQ(listed.values, Values{r.current});
        }
        EXPECT_EQ(one(MSG_GETCURRENT, r.cap), r.current);
        EXPECT_EQ(one(MSG_GETDEFAULT, r.cap), r.byDefault);
        if (r.query == kGetOnly) {
            for (TW_UINT16 msg : {MSG_SET, MSG_RESET}) {
                EXPECT_EQ(msg == MSG_SET ? set(r.cap, r.current, r.type) : request(msg, r.cap),
                          TWRC_FAILURE);
                EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);
            }
            continue;
        }
        EXPECT_EQ(set(r.cap, r.value, r.type), TWRC_SUCCESS);
        EXPECT_EQ(one(MSG_GETCURRENT, r.cap), r.value);
        if (r.refused != kNone) {
            EXPECT_EQ(set(r.cap, r.refused, r.type), TWRC_FAILURE);
            EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
            EXPECT_EQ(one(MSG_GETCURRENT, r.cap), r.value) << "a refused value changes nothing";
        }
        EXPECT_EQ(one(MSG_RESET, r.cap), r.byDefault);
        EXPECT_EQ(one(MSG_GETCURRENT, r.cap), r.byDefault);
    }
}

TEST_F(DocumentCapabilityMessages, FeederAndDuplexSelectTheSourceEntries) {
    const auto entry = [&] { return device.texts["source"]; };
    EXPECT_FALSE(scanner.feederChosen.has_value()) << "reading chooses nothing";
    ASSERT_EQ(set(CAP_DUPLEXENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Duplex");
    EXPECT_EQ(scanner.feederChosen, true) << "its batches take every page";
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERENABLED), 1u);
    EXPECT_EQ(set(CAP_FEEDERENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Duplex") << "already feeding: duplex stays";
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERLOADED), 1u) << "no sensor: loaded while feeding";
    ASSERT_EQ(set(CAP_DUPLEXENABLED, 0, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Front");
    ASSERT_EQ(set(CAP_FEEDERENABLED, 0, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "Flatbed");
    EXPECT_EQ(scanner.feederChosen, false);
    ASSERT_EQ(set(CAP_FEEDERENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Front");

    // A sensor tells whether paper is there.
    auto sensor = makeOption(DescriptorBuilder(2, "page-loaded", SANE_TYPE_BOOL), &device, false);
    scanner.roles.paperSensor = sensor.get();
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_PAPERDETECTABLE), 1u);
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERLOADED), 0u);
    device.paperLoaded = true;
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERLOADED), 1u);

    // A feeder without flatbed cannot be switched off; names are matched by their words.
    auto feederOnly = makeSource({"Automatic Document Feeder", "Duplex"});
    device.texts["source"] = "Automatic Document Feeder";
    scanner.roles.feeder = feederOnly.get();
    const Answer enabled = get(MSG_GET, CAP_FEEDERENABLED);
    EXPECT_EQ(enabled.values, Values{1});
    EXPECT_EQ(one(MSG_GETDEFAULT, CAP_FEEDERENABLED), 1u);
    EXPECT_EQ(set(CAP_FEEDERENABLED, 0, TWTY_BOOL), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    ASSERT_EQ(set(CAP_DUPLEXENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "Duplex");
}

TEST_F(DocumentCapabilityMessages, APageSizeSetsTheFrameAndANewFrameEndsIt) {
    const Answer sizes = get(MSG_GET, ICAP_SUPPORTEDSIZES);
    EXPECT_EQ(sizes.values.front(), TWSS_NONE);
    for (TW_UINT32 size : {TWSS_A4, TWSS_USLETTER, TWSS_A5, TWSS_BUSINESSCARD})
        EXPECT_NE(std::find(sizes.values.begin(), sizes.values.end(), size), sizes.values.end());
    for (TW_UINT32 size : {TWSS_A3, TWSS_USLEGAL})
        EXPECT_EQ(std::find(sizes.values.begin(), sizes.values.end(), size), sizes.values.end());

    ASSERT_EQ(set(ICAP_SUPPORTEDSIZES, TWSS_A5, TWTY_UINT16), TWRC_SUCCESS);
    ASSERT_FALSE(scanner.regionsSet.empty());
    EXPECT_EQ(scanner.regionsSet.back().right, 148);
    EXPECT_EQ(scanner.regionsSet.back().bottom, 210);
    // The layout in centimetres is the size's.
    ASSERT_EQ(set(ICAP_UNITS, TWUN_CENTIMETERS, TWTY_UINT16), TWRC_SUCCESS);
    TW_IMAGELAYOUT layout{};
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    EXPECT_NEAR(fromFix32(layout.Frame.Right), 14.8, 0.001);
    EXPECT_NEAR(fromFix32(layout.Frame.Bottom), 21.0, 0.001);

    // A frame of the application's own (5 cm square) is no standard size.
    layout.Frame.Right = layout.Frame.Bottom = toFix32(5);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    EXPECT_EQ(scanner.regionsSet.back().right, 50);
    EXPECT_EQ(one(MSG_GETCURRENT, ICAP_SUPPORTEDSIZES), TWSS_NONE);
    // In pixels at the scan resolution (100 dpi): 100 pixels are an inch.
    ASSERT_EQ(set(ICAP_UNITS, TWUN_PIXELS, TWTY_UINT16), TWRC_SUCCESS);
    layout.Frame.Right = layout.Frame.Bottom = toFix32(100);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    EXPECT_NEAR(scanner.regionsSet.back().right, 25.4, 0.001);
}

TEST_F(DocumentCapabilityMessages, TheListHoldsWhatTheDeviceOptionsServe) {
    const auto listed = [&] { return get(MSG_GET, CAP_SUPPORTEDCAPS).values; };
    const auto has = [](const Values& list, TW_UINT32 cap) {
        return std::find(list.begin(), list.end(), cap) != list.end();
    };
    const TW_UINT16 feederCaps[] = {CAP_FEEDERENABLED, CAP_DUPLEX, CAP_AUTOFEED, CAP_FEEDERLOADED,
                                    CAP_PAPERDETECTABLE};
    struct Case {
        std::vector<std::string> entries;  // empty: no "source" option
        bool feeder, duplex;
    };
    const Case cases[] = {
        {{}, false, false},
        {{"Flatbed", "Transparency"}, false, false},
        {{"Flatbed", "Automatic Document Feeder"}, true, false},
        {{"Flatbed", "ADF Front", "ADF Duplex"}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries.size());
        auto option = c.entries.empty() ? nullptr : makeSource(c.entries);
        scanner.roles.feeder = option.get();
        const Values list = listed();
        for (TW_UINT16 feederCap : feederCaps) {
            EXPECT_EQ(has(list, feederCap), c.feeder) << feederCap;
            EXPECT_EQ(request(MSG_GET, feederCap) == TWRC_SUCCESS, c.feeder) << feederCap;
            if (cap.hContainer) takeAnswer(cap);
        }
        EXPECT_EQ(has(list, CAP_DUPLEXENABLED), c.duplex);
        EXPECT_FALSE(has(list, ICAP_BRIGHTNESS)) << "no brightness option";
        EXPECT_TRUE(has(list, ICAP_SUPPORTEDSIZES));
    }
    // A device without scan area has no sizes.
    scanner.roles.feeder = nullptr;
    scanner.wholeArea = ScanRectangle{};
    EXPECT_FALSE(has(listed(), ICAP_SUPPORTEDSIZES));
    EXPECT_EQ(request(MSG_GET, ICAP_SUPPORTEDSIZES), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPUNSUPPORTED);
}

}  // namespace
}  // namespace tarnwick::testing
