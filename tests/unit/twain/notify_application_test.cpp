// notifyApplication: the state rules, and the way to the manager's DSM_Entry.
#include <gtest/gtest.h>

#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

using Calls = std::vector<std::string>;

class NotifyApplication : public SourceTest {};

TEST_F(NotifyApplication, TransferReadyGoesFromFiveToSixThroughTheManager) {
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    dsmScript().answer = TWRC_CHECKSTATUS;
    EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_CHECKSTATUS)
        << "the manager's answer is returned";
    EXPECT_EQ(source->state(), 6);
    ASSERT_EQ(dsmScript().received.size(), 1u);
    const Notification& sent = dsmScript().received[0];
    EXPECT_EQ(sent.DG, DG_CONTROL);
    EXPECT_EQ(sent.DAT, DAT_NULL);
    EXPECT_EQ(sent.MSG, MSG_XFERREADY);
    EXPECT_EQ(sent.pData, nullptr);
    EXPECT_EQ(sent.origin.Id, 42u);  // the source, as the manager named it
    EXPECT_EQ(sent.destination.Id, 7u);
    // The attempt to reach the manager has cleared the application's manufacturer.
    EXPECT_EQ(sent.destination.Manufacturer[0], '\0');
}

TEST_F(NotifyApplication, TransferReadyOutsideStateFiveIsASequenceErrorAndSendsNothing) {
    for (TW_INT32 state : {4, 6, 7}) {
        SCOPED_TRACE(state);
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(state));
        EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_FAILURE);
        EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
        EXPECT_EQ(source->state(), state);
        EXPECT_TRUE(dsmScript().received.empty());
    }
}

TEST_F(NotifyApplication, CloseRequestReturnsToFiveAndLeavesTheWindowAlone) {
    for (TW_INT32 state : {5, 6, 7}) {
        SCOPED_TRACE(state);
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(state));
        EXPECT_EQ(source->notifyApplication(MSG_CLOSEDSREQ), TWRC_SUCCESS);
        EXPECT_EQ(source->state(), 5);
        EXPECT_TRUE(scanner.calls.empty());
        ASSERT_EQ(dsmScript().received.size(), 1u);
        EXPECT_EQ(dsmScript().received[0].MSG, MSG_CLOSEDSREQ);
    }
}

// Closed or confirmed, a settings session stays in state 5 until MSG_DISABLEDS; only it may be
// confirmed, and it offers no image.
TEST_F(NotifyApplication, ASettingsSessionIsConfirmedOrClosedInStateFive) {
    for (TW_UINT16 message : {MSG_CLOSEDSREQ, MSG_CLOSEDSOK}) {
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(4));
        TW_USERINTERFACE ui{1, 0, nullptr};
        ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_SUCCESS);
        scanner.calls.clear();
        EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_FAILURE);
        EXPECT_EQ(source->notifyApplication(message), TWRC_SUCCESS);
        EXPECT_EQ(source->state(), 5);
        EXPECT_TRUE(scanner.calls.empty());
        ASSERT_EQ(dsmScript().received.size(), 1u);
        EXPECT_EQ(dsmScript().received[0].MSG, message);
        EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    }
    reset();
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    EXPECT_EQ(source->notifyApplication(MSG_CLOSEDSOK), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
}

TEST_F(NotifyApplication, CloseRequestBeforeEnablingAndOtherMessagesAreRefused) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    EXPECT_EQ(source->notifyApplication(MSG_CLOSEDSREQ), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_EQ(source->notifyApplication(MSG_DEVICEEVENT), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADPROTOCOL);
    EXPECT_EQ(source->state(), 4);
    EXPECT_TRUE(dsmScript().received.empty());
    EXPECT_TRUE(dsmScript().loadAttempts.empty());
}

TEST_F(NotifyApplication, TheManagerIsLoadedOnceByTheFirstNameThatLoads) {
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    source->notifyApplication(MSG_XFERREADY);
    source->notifyApplication(MSG_CLOSEDSREQ);
    EXPECT_EQ(dsmScript().loadAttempts, (Calls{"first-dsm", "second-dsm"}));
    EXPECT_EQ(dsmScript().received.size(), 2u);
}

TEST_F(NotifyApplication, WithoutAManagerNotificationsAreDroppedAsSuccessAndLoadingIsRetried) {
    dsmScript().libraryLoads = false;
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 6);
    EXPECT_EQ(appIdentity.Manufacturer[0], '\0');
    // The next MSG_OPENDS would bring the name back; an attempt clears it again.
    appIdentity.Manufacturer[0] = 'A';
    EXPECT_EQ(source->notifyApplication(MSG_CLOSEDSREQ), TWRC_SUCCESS);
    EXPECT_EQ(appIdentity.Manufacturer[0], '\0');
    EXPECT_EQ(dsmScript().loadAttempts.size(), 4u);
    EXPECT_TRUE(dsmScript().received.empty());
}

TEST_F(NotifyApplication, AManagerWithoutItsEntryDropsNotifications) {
    dsmScript().libraryHasEntry = false;
    dsmScript().processHasEntry = true;  // not consulted once a library is loaded
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_SUCCESS);
    EXPECT_TRUE(dsmScript().received.empty());
    EXPECT_EQ(dsmScript().loadAttempts.size(), 2u);
}

TEST_F(NotifyApplication, AProgramThatIsItsOwnManagerReceivesTheNotifications) {
    dsmScript().libraryLoads = false;
    dsmScript().processHasEntry = true;
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    dsmScript().answer = TWRC_SUCCESS;
    EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_SUCCESS);
    ASSERT_EQ(dsmScript().received.size(), 1u);
    EXPECT_EQ(dsmScript().received[0].MSG, MSG_XFERREADY);
}

}  // namespace
}  // namespace tarnwick::testing
