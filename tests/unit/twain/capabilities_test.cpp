// DAT_CAPABILITY through the data source: the gate, the constant capabilities, the containers
// and the routing of the option-based ones to the open scanner.
#include <gtest/gtest.h>

#include <algorithm>

#include "twain/file_records.h"
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
    // A device without brightness and contrast options serves neither.
    for (TW_UINT16 msg : {MSG_GET, MSG_QUERYSUPPORT}) {
        EXPECT_EQ(request(msg, ICAP_BRIGHTNESS), TWRC_FAILURE);
        EXPECT_EQ(source->conditionCode, TWCC_CAPUNSUPPORTED);
    }
    scanner.withLevels();
    const Answer brightness = get(MSG_QUERYSUPPORT, ICAP_BRIGHTNESS);
    EXPECT_EQ(brightness.conType, TWON_ONEVALUE);
    EXPECT_EQ(brightness.itemType, TWTY_INT32);
    EXPECT_EQ(brightness.values, Values{31});
    EXPECT_EQ(get(MSG_QUERYSUPPORT, ICAP_COMPRESSION).values, Values{31});
    // Read-only facts answer every read.
    for (TW_UINT16 fact : {CAP_SUPPORTEDCAPS, CAP_SUPPORTEDDATS, CAP_UICONTROLLABLE,
                           CAP_DEVICEONLINE, CAP_ENABLEDSUIONLY})
        EXPECT_EQ(get(MSG_QUERYSUPPORT, fact).values, Values{13}) << fact;
    EXPECT_EQ(get(MSG_QUERYSUPPORT, ICAP_PIXELTYPE).values, Values{31});
    EXPECT_EQ(scanner.options->device.exchanges, 0) << "query support needs no option";

    reset();
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    SentContainer units(ICAP_UNITS, TWUN_INCHES);
    EXPECT_EQ(set(units), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_EQ(request(MSG_RESET, ICAP_UNITS), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_EQ(get(MSG_GETCURRENT, ICAP_UNITS).values, Values{TWUN_INCHES});
}

TEST_F(Capabilities, ConstantsAreReadAndSetOnlyToThemselves) {
    const Answer count = get(MSG_GET, CAP_XFERCOUNT);
    EXPECT_EQ(count.itemType, TWTY_INT16);
    EXPECT_EQ(count.values, Values{0xFFFFFFFF});
    SentContainer minusOne(CAP_XFERCOUNT, 0xFFFFFFFF, TWTY_INT16);
    EXPECT_EQ(set(minusOne), TWRC_SUCCESS);
    for (TW_UINT32 item : {0u, 0xFFFFFFFEu, 0x0000FFFFu}) {
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
    // A native transfer is not compressed: none is its one compression.
    SentContainer none(ICAP_COMPRESSION, TWCP_NONE);
    EXPECT_EQ(set(none), TWRC_SUCCESS);
    SentContainer jpeg(ICAP_COMPRESSION, 6);
    EXPECT_EQ(set(jpeg), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);

    // A boolean lists its possible values; these facts have only one.
    for (TW_UINT16 fact : {CAP_UICONTROLLABLE, CAP_DEVICEONLINE, CAP_ENABLEDSUIONLY}) {
        const Answer listed = get(MSG_GET, fact);
        EXPECT_EQ(listed.conType, TWON_ENUMERATION);
        EXPECT_EQ(listed.itemType, TWTY_BOOL);
        EXPECT_EQ(listed.values, Values{1});
        EXPECT_EQ(get(MSG_GETCURRENT, fact).values, Values{1});
        EXPECT_EQ(get(MSG_GETDEFAULT, fact).values, Values{1});
        EXPECT_EQ(request(MSG_RESET, fact), TWRC_FAILURE);
        EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);
    }
}

TEST_F(Capabilities, SupportedCapabilitiesAreTheServedOnesInTableOrder) {
    const Values served{
        CAP_XFERCOUNT,          ICAP_COMPRESSION,       ICAP_PIXELTYPE,     ICAP_UNITS,
        ICAP_XFERMECH,          CAP_SUPPORTEDCAPS,      CAP_INDICATORS,     CAP_UICONTROLLABLE,
        CAP_DEVICEONLINE,       CAP_ENABLEDSUIONLY,     ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT,
        ICAP_XNATIVERESOLUTION, ICAP_YNATIVERESOLUTION, ICAP_XRESOLUTION,   ICAP_YRESOLUTION,
        ICAP_BITORDER,          ICAP_PIXELFLAVOR,       ICAP_PLANARCHUNKY,  ICAP_BITDEPTH,
        CAP_SUPPORTEDDATS,      ICAP_IMAGEFILEFORMAT,   ICAP_JPEGQUALITY};
    const Answer list = get(MSG_GET, CAP_SUPPORTEDCAPS);
    EXPECT_EQ(list.conType, TWON_ARRAY);
    EXPECT_EQ(list.itemType, TWTY_UINT16);
    EXPECT_EQ(list.values, served);
    EXPECT_EQ(get(MSG_GETCURRENT, CAP_SUPPORTEDCAPS).values, served);

    scanner.withLevels();
    Values withLevels = served;
    withLevels.insert(withLevels.begin() + 10, {ICAP_BRIGHTNESS, ICAP_CONTRAST});
    withLevels.insert(withLevels.end() - 2, {ICAP_THRESHOLD, ICAP_GAMMA});
    EXPECT_EQ(get(MSG_GETDEFAULT, CAP_SUPPORTEDCAPS).values, withLevels);

    // Without a mode the device scans colour: pixel type and depth stay.
    scanner.roles.mode = nullptr;
    EXPECT_EQ(get(MSG_GET, CAP_SUPPORTEDCAPS).values, withLevels);
}

TEST_F(Capabilities, SupportedDataTypesAreEachGroupAndTypeOnce) {
    const Answer dats = get(MSG_GET, CAP_SUPPORTEDDATS);
    EXPECT_EQ(dats.conType, TWON_ARRAY);
    EXPECT_EQ(dats.itemType, TWTY_UINT32);
    const auto pair = [](TW_UINT32 DG, TW_UINT16 DAT) { return DG << 16 | DAT; };
    EXPECT_EQ(dats.values,
              (Values{pair(DG_CONTROL, DAT_CAPABILITY), pair(DG_CONTROL, DAT_EVENT),
                      pair(DG_CONTROL, DAT_ENTRYPOINT), pair(DG_CONTROL, DAT_IDENTITY),
                      pair(DG_CONTROL, DAT_PENDINGXFERS), pair(DG_CONTROL, DAT_SETUPMEMXFER),
                      pair(DG_CONTROL, DAT_SETUPFILEXFER), pair(DG_CONTROL, DAT_STATUS),
                      pair(DG_CONTROL, DAT_USERINTERFACE), pair(DG_CONTROL, DAT_XFERGROUP),
                      pair(DG_CONTROL, DAT_CUSTOMDSDATA), pair(DG_IMAGE, DAT_IMAGEINFO),
                      pair(DG_IMAGE, DAT_IMAGELAYOUT), pair(DG_IMAGE, DAT_IMAGEMEMXFER),
                      pair(DG_IMAGE, DAT_IMAGENATIVEXFER), pair(DG_IMAGE, DAT_JPEGCOMPRESSION),
                      pair(DG_IMAGE, DAT_IMAGEFILEXFER), pair(DG_IMAGE, DAT_IMAGEMEMFILEXFER),
                      pair(DG_IMAGE, DAT_PALETTE8)}));
}

// Every resettable capability back to its default, in state 4 only.
TEST_F(Capabilities, ResetAllResetsEveryCapability) {
    SentContainer memory(ICAP_XFERMECH, TWSX_MEMORY);
    ASSERT_EQ(set(memory), TWRC_SUCCESS);
    SentContainer off(CAP_INDICATORS, 0, TWTY_BOOL);
    ASSERT_EQ(set(off), TWRC_SUCCESS);
    scanner.withLevels();
    ScriptedOptions& options = *scanner.options;
    options.device.texts[options.mode.index] = "Color";
    options.resolution.values = {600};
    options.brightness.values = {50};
    options.threshold.values = {10};
    EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(source->transferMechanism, TWSX_NATIVE);
    EXPECT_TRUE(source->indicators);
    // The device's own options too: black and white where it has line art, its levels halfway.
    EXPECT_EQ(options.mode.valueText(), "Lineart");
    EXPECT_EQ(options.resolution.values, std::vector<double>{72});
    EXPECT_EQ(options.brightness.values, std::vector<double>{0});
    EXPECT_EQ(options.threshold.values, std::vector<double>{128});
    EXPECT_EQ(options.tlx.values, std::vector<double>{0}) << "the bed is no capability to reset";
}

TEST_F(Capabilities, TransferMechanismKeepsTheFourMechanisms) {
    Answer mech = get(MSG_GET, ICAP_XFERMECH);
    EXPECT_EQ(mech.defaultIndex, 0u);
    EXPECT_EQ(mech.conType, TWON_ENUMERATION);
    EXPECT_EQ(mech.values, (Values{TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY, TWSX_MEMFILE}));
    EXPECT_EQ(mech.currentIndex, 0u);

    SentContainer memory(ICAP_XFERMECH, TWSX_MEMORY);
    EXPECT_EQ(set(memory), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_GET, ICAP_XFERMECH).currentIndex, 2u);
    EXPECT_EQ(get(MSG_GETCURRENT, ICAP_XFERMECH).values, Values{TWSX_MEMORY});

    SentContainer file2(ICAP_XFERMECH, 3);  // the retired TWSX_FILE2
    EXPECT_EQ(set(file2), TWRC_CHECKSTATUS);
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
    const Answer both = get(MSG_GET, CAP_INDICATORS);
    EXPECT_EQ(both.conType, TWON_ENUMERATION);
    EXPECT_EQ(both.values, (Values{0, 1}));
    EXPECT_EQ(both.currentIndex, 0u);
    EXPECT_EQ(both.defaultIndex, 1u);
    EXPECT_EQ(get(MSG_GETDEFAULT, CAP_INDICATORS).values, Values{1});
    EXPECT_EQ(get(MSG_RESET, CAP_INDICATORS).values, Values{1});
    EXPECT_TRUE(source->indicators);
}

// The option-based capabilities answer from the device's options; a reset is answered with the
// value it reset to, read back from the device.
TEST_F(Capabilities, OptionCapabilitiesAnswerFromTheOptionsAndResetsAreReadBack) {
    const Answer types = get(MSG_GET, ICAP_PIXELTYPE);
    EXPECT_EQ(types.conType, TWON_ENUMERATION);
    EXPECT_EQ(types.values, (Values{TWPT_BW, TWPT_GRAY, TWPT_RGB}));
    EXPECT_EQ(types.currentIndex, 1u) << "the mode is Gray";
    scanner.options->resolution.values = {300};
    EXPECT_EQ(get(MSG_RESET, ICAP_YRESOLUTION).values, Values{fix32Bits(toFix32(72))});
    EXPECT_EQ(scanner.options->resolution.values, std::vector<double>{72});
    EXPECT_EQ(get(MSG_GETDEFAULT, ICAP_PHYSICALHEIGHT).values, Values{fix32Bits(toFix32(11))});
    // Sizes and native resolutions cannot be written at all, and nothing reaches the device.
    const int exchanges = scanner.options->device.exchanges;
    EXPECT_EQ(request(MSG_RESET, ICAP_PHYSICALWIDTH), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_CAPBADOPERATION);
    EXPECT_EQ(request(MSG_RESET, ICAP_YNATIVERESOLUTION), TWRC_FAILURE);
    EXPECT_EQ(scanner.options->device.exchanges, exchanges);
}

}  // namespace
}  // namespace tarnwick::testing
