// DAT_CAPABILITY through the data source: the gate, the constant capabilities, the containers
// and the routing of the option-based ones to the open scanner.
#include <gtest/gtest.h>

#include "twain/fix32.h"
#include "unit/twain/container_reader.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

using Values = std::vector<TW_UINT32>;

class Capabilities : public SourceTest {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(bringTo(4)); }

    TW_UINT16 request(TW_UINT16 msg, TW_UINT16 capability) {
        cap = TW_CAPABILITY{};
        cap.Cap = capability;
        return call(DG_CONTROL, DAT_CAPABILITY, msg, &cap);
    }
    Answer get(TW_UINT16 msg, TW_UINT16 capability) {
        EXPECT_EQ(request(msg, capability), TWRC_SUCCESS) << capability;
        return takeAnswer(cap);
    }
    TW_UINT16 set(SentContainer& sent) {
        return call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &sent.cap);
    }

    TW_CAPABILITY cap{};
};

TEST_F(Capabilities, TheGateRefusesUnknownCapabilitiesAndLateWrites) {
    EXPECT_EQ(request(MSG_QUERYSUPPORT, 0x1234), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(request(MSG_GET, ICAP_BRIGHTNESS), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPUNSUPPORTED);

    const Answer brightness = get(MSG_QUERYSUPPORT, ICAP_BRIGHTNESS);
    EXPECT_EQ(brightness.conType, TWON_ONEVALUE);
    EXPECT_EQ(brightness.itemType, TWTY_INT32);
    EXPECT_EQ(brightness.values, Values{31});
    EXPECT_EQ(get(MSG_QUERYSUPPORT, ICAP_COMPRESSION).values, Values{13});
    EXPECT_EQ(get(MSG_QUERYSUPPORT, CAP_SUPPORTEDCAPS).values, Values{1});
    EXPECT_EQ(get(MSG_QUERYSUPPORT, ICAP_PIXELTYPE).values, Values{31});
    EXPECT_TRUE(scanner.calls.empty()) << "query support needs no option";

    reset();
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    SentContainer units(ICAP_UNITS, TWUN_INCHES);
    EXPECT_EQ(set(units), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_EQ(request(MSG_RESET, ICAP_UNITS), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_EQ(get(MSG_GET, ICAP_UNITS).values, Values{0});
}

TEST_F(Capabilities, ConstantsAreReadAndSetOnlyToThemselves) {
    const Answer count = get(MSG_GET, CAP_XFERCOUNT);
    EXPECT_EQ(count.itemType, TWTY_INT16);
    EXPECT_EQ(count.values, Values{0xFFFFFFFF});
    SentContainer minusOne(CAP_XFERCOUNT, 0xFFFFFFFF, TWTY_INT16);
    EXPECT_EQ(set(minusOne), TWRC_SUCCESS);
    for (TW_UINT32 item : {1u, 0x0000FFFFu}) {
        SentContainer other(CAP_XFERCOUNT, item, TWTY_INT16);
        EXPECT_EQ(set(other), TWRC_FAILURE) << item;
        EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    }
    // Only the low word of units and bit order counts.
    SentContainer inches(ICAP_UNITS, 0xABCD0000);
    EXPECT_EQ(set(inches), TWRC_SUCCESS);
    SentContainer msbFirst(ICAP_BITORDER, 1);
    EXPECT_EQ(set(msbFirst), TWRC_SUCCESS);
    SentContainer lsbFirst(ICAP_BITORDER, 0);
    EXPECT_EQ(set(lsbFirst), TWRC_FAILURE);
    SentContainer listOfUnits(ICAP_UNITS, SentContainer::List{{0}, 0});
    EXPECT_EQ(set(listOfUnits), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    EXPECT_EQ(get(MSG_RESET, ICAP_BITORDER).values, Values{1});

    EXPECT_EQ(get(MSG_GETDEFAULT, ICAP_PIXELFLAVOR).values, Values{TWPF_CHOCOLATE});
    EXPECT_EQ(get(MSG_GETCURRENT, ICAP_PLANARCHUNKY).values, Values{TWPC_CHUNKY});
    SentContainer compression(ICAP_COMPRESSION, 0);
    EXPECT_EQ(set(compression), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);

    EXPECT_EQ(get(MSG_GET, CAP_UICONTROLLABLE).values, Values{1});
    EXPECT_EQ(request(MSG_GETCURRENT, CAP_DEVICEONLINE), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);
}

TEST_F(Capabilities, SupportedCapabilitiesAreListedInTableOrder) {
    const Answer list = get(MSG_GET, CAP_SUPPORTEDCAPS);
    EXPECT_EQ(list.conType, TWON_ARRAY);
    EXPECT_EQ(list.itemType, TWTY_UINT16);
    EXPECT_EQ(
        list.values,
        (Values{
            CAP_XFERCOUNT,      ICAP_COMPRESSION,    ICAP_PIXELTYPE,         ICAP_UNITS,
            ICAP_XFERMECH,      CAP_SUPPORTEDCAPS,   CAP_INDICATORS,         CAP_UICONTROLLABLE,
            CAP_DEVICEONLINE,   CAP_ENABLEDSUIONLY,  ICAP_BRIGHTNESS,        ICAP_CONTRAST,
            ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT, ICAP_XNATIVERESOLUTION, ICAP_YNATIVERESOLUTION,
            ICAP_XRESOLUTION,   ICAP_YRESOLUTION,    ICAP_BITORDER,          ICAP_PIXELFLAVOR,
            ICAP_PLANARCHUNKY,  ICAP_BITDEPTH}));
    EXPECT_EQ(request(MSG_GETCURRENT, CAP_SUPPORTEDCAPS), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);
}

TEST_F(Capabilities, TransferMechanismKeepsOnlyNativeOrMemory) {
    Answer mech = get(MSG_GET, ICAP_XFERMECH);
    EXPECT_EQ(mech.conType, TWON_ENUMERATION);
    EXPECT_EQ(mech.values, (Values{TWSX_NATIVE, TWSX_MEMORY}));
    EXPECT_EQ(mech.currentIndex, 0u);

    SentContainer memory(ICAP_XFERMECH, TWSX_MEMORY);
    EXPECT_EQ(set(memory), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_GET, ICAP_XFERMECH).currentIndex, 1u);
    EXPECT_EQ(get(MSG_GETCURRENT, ICAP_XFERMECH).values, Values{TWSX_MEMORY});

    SentContainer file(ICAP_XFERMECH, TWSX_FILE);
    EXPECT_EQ(set(file), TWRC_CHECKSTATUS);
    EXPECT_EQ(source->conditionCode, TWCC_SUCCESS);
    EXPECT_EQ(source->transferMechanism, TWSX_NATIVE);
    EXPECT_EQ(get(MSG_GET, ICAP_XFERMECH).currentIndex, 0u);

    ASSERT_EQ(set(memory), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_RESET, ICAP_XFERMECH).values, Values{TWSX_NATIVE});
    EXPECT_EQ(source->transferMechanism, TWSX_NATIVE);
}

TEST_F(Capabilities, IndicatorsAreStoredAndResetToTrue) {
    SentContainer off(CAP_INDICATORS, 0, TWTY_BOOL);
    EXPECT_EQ(set(off), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_GETCURRENT, CAP_INDICATORS).values, Values{0});
    EXPECT_EQ(get(MSG_GETDEFAULT, CAP_INDICATORS).values, Values{1});
    EXPECT_EQ(get(MSG_RESET, CAP_INDICATORS).values, Values{1});
    EXPECT_TRUE(source->indicators);
}

TEST_F(Capabilities, OptionCapabilitiesGoToTheScannerWithoutARecordOnReset) {
    EXPECT_EQ(request(MSG_GET, ICAP_PIXELTYPE), TWRC_SUCCESS);
    EXPECT_EQ(request(MSG_RESET, ICAP_BITDEPTH), TWRC_SUCCESS);
    EXPECT_EQ(request(MSG_GETCURRENT, ICAP_YRESOLUTION), TWRC_SUCCESS);
    EXPECT_EQ(request(MSG_GET, ICAP_XNATIVERESOLUTION), TWRC_SUCCESS);
    EXPECT_EQ(request(MSG_GETDEFAULT, ICAP_PHYSICALHEIGHT), TWRC_SUCCESS);
    EXPECT_EQ(scanner.calls, (std::vector<std::string>{"pixelType", "bitDepth", "resolution",
                                                       "nativeResolution", "physicalSize"}));
    // Sizes and native resolutions cannot be written at all.
    EXPECT_EQ(request(MSG_RESET, ICAP_PHYSICALWIDTH), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);
    EXPECT_EQ(request(MSG_RESET, ICAP_YNATIVERESOLUTION), TWRC_FAILURE);
    EXPECT_EQ(scanner.calls.size(), 5u);
}

}  // namespace
}  // namespace tarnwick::testing
