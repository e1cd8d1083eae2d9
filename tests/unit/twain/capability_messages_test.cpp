// Every capability answers the six messages consistently: MSG_QUERYSUPPORT tells which it
// takes, MSG_GET's current and default are those of MSG_GETCURRENT and MSG_GETDEFAULT, a value
// set is read back, MSG_RESET answers and restores the default, and a value the device cannot
// take changes nothing. Then what the feeder, duplex and page-size values do to the options and
// the frame, and which capabilities a device's options make the source list.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "options/option_factory.h"
#include "support/descriptor_builder.h"
#include "twain/fix32.h"
#include "unit/twain/container_reader.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

using Values = std::vector<TW_UINT32>;

// Keeps each option's text and the paper sensor's state as a daemon would.
class ModelDevice : public OptionDevice {
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

class CapabilityMessages : public SourceTest {
  protected:
    void SetUp() override {
        device.texts["source"] = "Flatbed";
        scanner.sourceOption = sourceOption.get();
        scanner.wholeArea = ScanRectangle{0, 0, 216, 300};  // A4 and US letter fit, A3 not
        ASSERT_NO_FATAL_FAILURE(bringTo(4));
        scanner.sourceOption = sourceOption.get();
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

    ModelDevice device;
    std::unique_ptr<Option> sourceOption = makeSource({"Flatbed", "ADF Front", "ADF Duplex"});
    TW_CAPABILITY cap{};
};

constexpr TW_UINT32 kAll = 31, kGetOnly = 13;
constexpr TW_UINT32 kNone = 0xFFFF0000;  // a row without a value to refuse

TEST_F(CapabilityMessages, EachCapabilityAnswersTheSixMessagesConsistently) {
    struct Row {
        TW_UINT16 cap;
        TW_UINT32 query;
        TW_UINT16 type;
        TW_UINT32 current, byDefault;
        TW_UINT32 value;    // set, then read back (settable rows)
        TW_UINT32 refused;  // answered TWCC_BADVALUE, or kNone
    };
    const Row rows[] = {
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
    for (const Row& r : rows) {
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

TEST_F(CapabilityMessages, FeederAndDuplexSelectTheSourceEntries) {
    const auto entry = [&] { return device.texts["source"]; };
    ASSERT_EQ(set(CAP_DUPLEXENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Duplex");
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERENABLED), 1u);
    EXPECT_EQ(set(CAP_FEEDERENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Duplex") << "already feeding: duplex stays";
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERLOADED), 1u) << "no sensor: loaded while feeding";
    ASSERT_EQ(set(CAP_DUPLEXENABLED, 0, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Front");
    ASSERT_EQ(set(CAP_FEEDERENABLED, 0, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "Flatbed");
    ASSERT_EQ(set(CAP_FEEDERENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "ADF Front");

    // A sensor tells whether paper is there.
    auto sensor = makeOption(DescriptorBuilder(2, "page-loaded", SANE_TYPE_BOOL), &device, false);
    scanner.paperSensor = sensor.get();
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_PAPERDETECTABLE), 1u);
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERLOADED), 0u);
    device.paperLoaded = true;
    EXPECT_EQ(one(MSG_GETCURRENT, CAP_FEEDERLOADED), 1u);

    // A feeder without flatbed cannot be switched off; names are matched by their words.
    auto feederOnly = makeSource({"Automatic Document Feeder", "Duplex"});
    device.texts["source"] = "Automatic Document Feeder";
    scanner.sourceOption = feederOnly.get();
    const Answer enabled = get(MSG_GET, CAP_FEEDERENABLED);
    EXPECT_EQ(enabled.values, Values{1});
    EXPECT_EQ(one(MSG_GETDEFAULT, CAP_FEEDERENABLED), 1u);
    EXPECT_EQ(set(CAP_FEEDERENABLED, 0, TWTY_BOOL), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    ASSERT_EQ(set(CAP_DUPLEXENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
    EXPECT_EQ(entry(), "Duplex");
}

TEST_F(CapabilityMessages, APageSizeSetsTheFrameAndANewFrameEndsIt) {
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

TEST_F(CapabilityMessages, TheListHoldsWhatTheDeviceOptionsServe) {
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
        scanner.sourceOption = option.get();
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
    scanner.sourceOption = nullptr;
    scanner.wholeArea = ScanRectangle{};
    EXPECT_FALSE(has(listed(), ICAP_SUPPORTEDSIZES));
    EXPECT_EQ(request(MSG_GET, ICAP_SUPPORTEDSIZES), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPUNSUPPORTED);
}

}  // namespace
}  // namespace tarnwick::testing
