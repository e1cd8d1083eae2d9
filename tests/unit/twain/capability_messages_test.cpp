// Every option-based capability answers the messages of TWAIN 2.4 consistently: one row per
// device state, capability, message and sent value, with the answer and what the device then
// holds.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>

#include "options/number_option.h"
#include "options/string_option.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "twain/option_capabilities.h"
#include "unit/twain/container_reader.h"

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
        roles = {&mode, &depth, &resolution, nullptr, nullptr, nullptr, nullptr};
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

}  // namespace
}  // namespace tarnwick::testing
