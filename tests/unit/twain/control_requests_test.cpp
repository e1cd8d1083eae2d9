// DAT_STATUS, DAT_XFERGROUP, DAT_CUSTOMDSDATA and DAT_EVENT.
#include <gtest/gtest.h>

#include "platform/global_memory.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

class ControlRequests : public SourceTest {};

TEST_F(ControlRequests, StatusReportsThePreviousFailureOnceThenSuccess) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_FAILURE);
    EXPECT_EQ(readStatus(), TWCC_SEQERROR);
    EXPECT_EQ(readStatus(), TWCC_SUCCESS);
}

TEST_F(ControlRequests, AnyOtherRequestClearsTheConditionBeforeStatusReadsIt) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    EXPECT_EQ(call(DG_CONTROL, DAT_PARENT, MSG_GET, nullptr), TWRC_FAILURE);
    TW_IDENTITY identity{};
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(readStatus(), TWCC_SUCCESS);
    // Even a request that fails itself replaces the code.
    EXPECT_EQ(call(DG_CONTROL, DAT_PARENT, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(readStatus(), TWCC_BADPROTOCOL);
}

TEST_F(ControlRequests, AStatusRequestThatFailsKeepsNoEarlierCode) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_FAILURE);
    TW_STATUS status{};
    EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_SET, &status), TWRC_FAILURE);
    EXPECT_EQ(readStatus(), TWCC_BADPROTOCOL);
}

TEST_F(ControlRequests, TransferGroupAnswersImageAndAcceptsOnlyImage) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    TW_UINT32 group = 0;
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_GET, &group), TWRC_SUCCESS);
    EXPECT_EQ(group, DG_IMAGE);
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_SET, &group), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);

    reset();
    ASSERT_NO_FATAL_FAILURE(bringTo(6));
    group = DG_CONTROL;
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_SET, &group), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADPROTOCOL);
    group = DG_IMAGE;
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_SET, &group), TWRC_SUCCESS);
    // An unaligned value is read and written just the same.
    alignas(4) unsigned char bytes[8] = {};
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_GET, bytes + 1), TWRC_SUCCESS);
    EXPECT_EQ(bytes[1], DG_IMAGE);
    EXPECT_EQ(call(DG_CONTROL, DAT_XFERGROUP, MSG_SET, bytes + 1), TWRC_SUCCESS);
}

TEST_F(ControlRequests, CustomDataIsAnEmptyBlockTheSourceTakesBack) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    TW_CUSTOMDSDATA data;
    std::memset(&data, 0xab, sizeof data);
    EXPECT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_GET, &data), TWRC_SUCCESS);
    EXPECT_EQ(+data.InfoLength, 0u);
    ASSERT_TRUE(data.hData != nullptr);
    EXPECT_EQ(call(DG_CONTROL, DAT_CUSTOMDSDATA, MSG_SET, &data), TWRC_SUCCESS);
    platform::globalFree(data.hData);
}

TEST_F(ControlRequests, EventsAreHandledInEveryStateAndNeverTheSourcesOnThisPlatform) {
    for (TW_INT32 state = 3; state <= 7; ++state) {
        SCOPED_TRACE(state);
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(state));
        int message = 0;
        TW_EVENT event{&message, MSG_XFERREADY};
        EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
        EXPECT_EQ(event.TWMessage, MSG_XFERREADY) << "TWMessage is left as it was";
        EXPECT_EQ(source->state(), state);
        event.pEvent = nullptr;
        EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    }
}

// A 1.x manager leaves the notifications to the application's message loop: its next event
// carries each once, unless the application has made it moot meanwhile.
TEST_F(ControlRequests, TheNextEventCarriesANotificationOnceWhileItStillHolds) {
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    int message = 0;
    TW_EVENT event{&message, MSG_NULL};
    const auto next = [&] {
        event.TWMessage = MSG_NULL;
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    };
    for (TW_UINT16 notification : {MSG_XFERREADY, MSG_CLOSEDSREQ}) {
        ASSERT_EQ(source->notifyApplication(notification), TWRC_SUCCESS);
        EXPECT_EQ(next(), TWRC_DSEVENT);
        EXPECT_EQ(event.TWMessage, notification);
        EXPECT_EQ(next(), TWRC_NOTDSEVENT);
    }
    ASSERT_EQ(source->notifyApplication(MSG_CLOSEDSREQ), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(next(), TWRC_NOTDSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_NULL);
}

}  // namespace
}  // namespace tarnwick::testing
