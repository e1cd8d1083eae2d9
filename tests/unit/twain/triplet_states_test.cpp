// Every supported triplet in every state: carried out in its states, refused in the others.
#include <gtest/gtest.h>

#include "platform/global_memory.h"
#include "twain/file_records.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

struct Expectation {
    const char* name;
    TW_UINT32 DG;
    TW_UINT16 DAT;
    TW_UINT16 MSG;
    TW_INT32 lowest, highest;
    TW_UINT16 result;     // in its states
    TW_UINT16 condition;  // in its states
    // From this state on (0: never) the answer is another: no image can be had there.
    TW_INT32 otherFrom = 0;
    TW_UINT16 otherResult = TWRC_SUCCESS;
    TW_UINT16 otherCondition = TWCC_SUCCESS;
};

// The empty record names no capability.
constexpr TW_UINT16 kNoCapability = TWCC_CAPUNSUPPORTED;

const Expectation kTriplets[] = {
    {"CAPABILITY GET", DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7, TWRC_FAILURE, kNoCapability},
    {"CAPABILITY GETCURRENT", DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, 4, 7, TWRC_FAILURE,
     kNoCapability},
    {"CAPABILITY GETDEFAULT", DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, 4, 7, TWRC_FAILURE,
     kNoCapability},
    {"CAPABILITY QUERYSUPPORT", DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, 4, 7, TWRC_FAILURE,
     kNoCapability},
    {"CAPABILITY SET", DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4, TWRC_FAILURE, kNoCapability},
    {"CAPABILITY RESET", DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 4, 4, TWRC_FAILURE, kNoCapability},
    {"CAPABILITY RESETALL", DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, 4, 4, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"EVENT PROCESSEVENT", DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 3, 7, TWRC_NOTDSEVENT,
     TWCC_SUCCESS},
    {"EVENT GET", DG_CONTROL, DAT_EVENT, MSG_GET, 3, 7, TWRC_NOTDSEVENT, TWCC_SUCCESS},
    // The empty record offers no DSM_Entry.
    {"ENTRYPOINT SET", DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, 3, 3, TWRC_FAILURE, TWCC_BADVALUE},
    {"IDENTITY GET", DG_CONTROL, DAT_IDENTITY, MSG_GET, 3, 7, TWRC_SUCCESS, TWCC_SUCCESS},
    {"IDENTITY OPENDS", DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, 3, 3, TWRC_SUCCESS, TWCC_SUCCESS},
    {"IDENTITY CLOSEDS", DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, 4, 4, TWRC_SUCCESS, TWCC_SUCCESS},
    {"PENDINGXFERS GET", DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 4, 7, TWRC_SUCCESS, TWCC_SUCCESS},
    {"PENDINGXFERS ENDXFER", DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"PENDINGXFERS RESET", DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 6, 6, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"SETUPMEMXFER GET", DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6, TWRC_SUCCESS, TWCC_SUCCESS, 6,
     TWRC_FAILURE, TWCC_OPERATIONERROR},
    {"SETUPFILEXFER GET", DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6, TWRC_SUCCESS, TWCC_SUCCESS},
    {"SETUPFILEXFER GETDEFAULT", DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, 4, 6, TWRC_SUCCESS,
     TWCC_SUCCESS},
    // The empty record names no file.
    {"SETUPFILEXFER SET", DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, 4, 6, TWRC_FAILURE,
     TWCC_BADVALUE},
    {"SETUPFILEXFER RESET", DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 4, 4, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"STATUS GET", DG_CONTROL, DAT_STATUS, MSG_GET, 4, 7, TWRC_SUCCESS, TWCC_SUCCESS},
    {"USERINTERFACE ENABLEDS", DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"USERINTERFACE ENABLEDSUIONLY", DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, 4, 4,
     TWRC_SUCCESS, TWCC_SUCCESS},
    {"USERINTERFACE DISABLEDS", DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 5, 5, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"XFERGROUP GET", DG_CONTROL, DAT_XFERGROUP, MSG_GET, 4, 6, TWRC_SUCCESS, TWCC_SUCCESS},
    {"XFERGROUP SET", DG_CONTROL, DAT_XFERGROUP, MSG_SET, 6, 6, TWRC_SUCCESS, TWCC_SUCCESS},
    {"CUSTOMDSDATA GET", DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, 4, 4, TWRC_SUCCESS, TWCC_SUCCESS},
    {"CUSTOMDSDATA SET", DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, 4, 4, TWRC_SUCCESS, TWCC_SUCCESS},
    {"IMAGEINFO GET", DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7, TWRC_SUCCESS, TWCC_SUCCESS},
    {"IMAGELAYOUT GET", DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, 4, 6, TWRC_SUCCESS, TWCC_SUCCESS, 6,
     TWRC_FAILURE, TWCC_OPERATIONERROR},
    {"IMAGELAYOUT GETDEFAULT", DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, 4, 6, TWRC_SUCCESS,
     TWCC_SUCCESS},
    // The empty record is no frame.
    {"IMAGELAYOUT SET", DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, 4, 4, TWRC_FAILURE, TWCC_BADVALUE},
    {"IMAGELAYOUT RESET", DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, 4, 4, TWRC_SUCCESS, TWCC_SUCCESS},
    // Native is the mechanism: a file transfer is out of sequence.
    {"IMAGEFILEXFER GET", DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6, TWRC_FAILURE, TWCC_SEQERROR},
    {"IMAGEMEMFILEXFER GET", DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, 6, 7, TWRC_FAILURE,
     TWCC_SEQERROR},
    {"JPEGCOMPRESSION GET", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GET, 4, 6, TWRC_SUCCESS,
     TWCC_SUCCESS},
    {"JPEGCOMPRESSION GETDEFAULT", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GETDEFAULT, 4, 6,
     TWRC_SUCCESS, TWCC_SUCCESS},
    {"JPEGCOMPRESSION RESET", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_RESET, 4, 4, TWRC_SUCCESS,
     TWCC_SUCCESS},
    // Its tables are the source's own: a request for others is answered with them.
    {"JPEGCOMPRESSION SET", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_SET, 4, 4, TWRC_CHECKSTATUS,
     TWCC_BADVALUE},
    {"IMAGEMEMXFER GET", DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7, TWRC_CANCEL, TWCC_SUCCESS},
    {"IMAGENATIVEXFER GET", DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6, TWRC_CANCEL,
     TWCC_SUCCESS},
    // Before a transfer the grey ramp of the scripted grey mode; in state 6 there is no image.
    {"PALETTE8 GET", DG_IMAGE, DAT_PALETTE8, MSG_GET, 4, 6, TWRC_SUCCESS, TWCC_SUCCESS, 6,
     TWRC_FAILURE, TWCC_OPERATIONERROR},
};

// Room for any record a triplet reads, with the values a well-behaved application sends.
union Payload {
    TW_IDENTITY identity;
    TW_USERINTERFACE ui;
    TW_UINT32 group;
    TW_PALETTE8 palette;
    TW_CUSTOMDSDATA custom;
    TW_SETUPFILEXFER file;
    TW_JPEGCOMPRESSION jpeg;
    unsigned char bytes[2048];
};

Payload payloadFor(const Expectation& triplet) {
    Payload payload{};
    if (triplet.DAT == DAT_USERINTERFACE) payload.ui.ShowUI = 1;
    if (triplet.DAT == DAT_XFERGROUP) payload.group = DG_IMAGE;
    if (triplet.DAT == DAT_IDENTITY) payload.identity.Id = 42;
    return payload;
}

class TripletStates : public SourceTest {};

TEST_F(TripletStates, EachSupportedTripletRunsInItsStatesOnlyAndIsSequenceErrorElsewhere) {
    for (const Expectation& triplet : kTriplets) {
        for (TW_INT32 state = 3; state <= 7; ++state) {
            SCOPED_TRACE(std::string(triplet.name) + " in state " + std::to_string(state));
            reset();
            ASSERT_NO_FATAL_FAILURE(bringTo(state));
            Payload payload = payloadFor(triplet);
            TW_UINT16 rc = call(triplet.DG, triplet.DAT, triplet.MSG, &payload);
            // The application frees the block it received.
            if (triplet.DAT == DAT_CUSTOMDSDATA && triplet.MSG == MSG_GET && rc == TWRC_SUCCESS)
                platform::globalFree(payload.custom.hData);
            bool inState = state >= triplet.lowest && state <= triplet.highest;
            const bool other = triplet.otherFrom != 0 && state >= triplet.otherFrom;
            if (inState) {
                EXPECT_EQ(rc, other ? triplet.otherResult : triplet.result);
                EXPECT_EQ(source->conditionCode,
                          other ? triplet.otherCondition : triplet.condition);
            } else {
                EXPECT_EQ(rc, TWRC_FAILURE);
                EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
                EXPECT_EQ(source->state(), state) << "a refused request changed the state";
                EXPECT_TRUE(scanner.calls.empty()) << "a refused request reached the scanner";
            }
        }
    }
}

TEST_F(TripletStates, UnsupportedGroupsTypesAndMessagesAreBadProtocolInAnyState) {
    struct Case {
        TW_UINT32 DG;
        TW_UINT16 DAT;
        TW_UINT16 MSG;
    };
    const Case cases[] = {
        {0x0004, DAT_IDENTITY, MSG_GET},  // DG_AUDIO
        {0, DAT_IDENTITY, MSG_GET},
        {DG_CONTROL, DAT_PARENT, MSG_OPENDSM},
        {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETCURRENT},
        {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_SET},
        {DG_IMAGE, DAT_CIECOLOR, MSG_GET},
        {DG_IMAGE, DAT_GRAYRESPONSE, MSG_SET},
        {DG_IMAGE, DAT_RGBRESPONSE, MSG_SET},
        {DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GETCURRENT},
        {DG_IMAGE, DAT_IDENTITY, MSG_GET},  // a control type in the image group
        {DG_CONTROL, DAT_IMAGEINFO, MSG_GET},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GETFIRST},
        {DG_CONTROL, DAT_CAPABILITY, MSG_GETNEXT},
        {DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT},
        {DG_CONTROL, DAT_STATUS, MSG_SET},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_GET},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_STOPFEEDER},
        {DG_CONTROL, DAT_XFERGROUP, MSG_RESET},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_SET},
        {DG_CONTROL, 0x7777, MSG_GET},
    };
    for (TW_INT32 state : {3, 4, 6}) {
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(state));
        for (const Case& c : cases) {
            SCOPED_TRACE("DG " + std::to_string(c.DG) + " DAT " + std::to_string(c.DAT) + " MSG " +
                         std::to_string(c.MSG) + " in state " + std::to_string(state));
            Payload payload{};
            EXPECT_EQ(call(c.DG, c.DAT, c.MSG, &payload), TWRC_FAILURE);
            EXPECT_EQ(source->conditionCode, TWCC_BADPROTOCOL);
            EXPECT_EQ(source->state(), state);
        }
    }
}

TEST_F(TripletStates, NullDataIsBadValueForEveryTripletThatReadsItAndIgnoredByTheOthers) {
    for (const Expectation& triplet : kTriplets) {
        SCOPED_TRACE(triplet.name);
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(triplet.lowest));
        TW_UINT16 rc = call(triplet.DG, triplet.DAT, triplet.MSG, nullptr);
        bool ignoresData = triplet.MSG == MSG_CLOSEDS || triplet.MSG == MSG_DISABLEDS ||
                           triplet.MSG == MSG_RESETALL || triplet.DAT == DAT_IMAGEFILEXFER;
        if (ignoresData) {
            EXPECT_EQ(rc, triplet.result);
            EXPECT_EQ(source->conditionCode, triplet.condition);
        } else {
            EXPECT_EQ(rc, TWRC_FAILURE);
            EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
            EXPECT_EQ(source->state(), triplet.lowest);
        }
    }
}

}  // namespace
}  // namespace tarnwick::testing
