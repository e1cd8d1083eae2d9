// DAT_USERINTERFACE: enabling with the window, without it, for settings only; disabling.
#include <gtest/gtest.h>

#include "platform/global_memory.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

using Calls = std::vector<std::string>;

class UserInterface : public SourceTest {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(bringTo(4)); }
};

TEST_F(UserInterface, EnablingWithTheWindowShowsItForScanningAndClearsModalUI) {
    TW_USERINTERFACE ui{1, 1, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(ui.ModalUI, 0);
    EXPECT_EQ(source->state(), 5);
    EXPECT_FALSE(source->uiOnly);
    EXPECT_EQ(scanner.calls, Calls{"showWindow(scan)"});
    EXPECT_TRUE(dsmScript().received.empty());
}

TEST_F(UserInterface, EnablingTwiceIsASequenceError) {
    ASSERT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_EQ(enable(1), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    EXPECT_EQ(source->state(), 5);
    EXPECT_EQ(scanner.calls, Calls{"showWindow(scan)"});
}

TEST_F(UserInterface, EnablingWithoutTheWindowScansAtOnceAndSignalsTheImage) {
    scanner.scans = {true};
    TW_USERINTERFACE ui{0, 1, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(ui.ModalUI, 1) << "ModalUI is not written without a window";
    EXPECT_EQ(scanner.calls, (Calls{"beginBatch", "acquire(keep,cancel)"}));
    EXPECT_EQ(source->state(), 6);
    ASSERT_EQ(dsmScript().received.size(), 1u);
    EXPECT_EQ(dsmScript().received[0].MSG, MSG_XFERREADY);
}

TEST_F(UserInterface, TheNotificationsResultDoesNotMatterToEnabling) {
    scanner.scans = {true};
    dsmScript().answer = TWRC_FAILURE;
    EXPECT_EQ(enable(0), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 6);
}

// A source that could not start stays in state 4: an application may still disable it (once),
// close it, or enable it again.
TEST_F(UserInterface, AFailedScanWithoutTheWindowFailsInStateFourAndCanBeDisabledOnce) {
    scanner.scans = {false};
    scanner.failure = SANE_STATUS_JAMMED;
    EXPECT_EQ(enable(0), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_PAPERJAM);
    EXPECT_EQ(source->state(), 4);
    EXPECT_TRUE(dsmScript().received.empty());

    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 4);
    EXPECT_EQ(scanner.calls, (Calls{"beginBatch", "acquire(keep,cancel)", "hideWindow"}));
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);

    scanner.scans = {true};
    EXPECT_EQ(enable(0), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 6);
}

// What the device said is what the application hears: at MSG_ENABLEDS as a failure of the
// first page, in a transfer of a later page as that transfer's failure (an empty feeder and a
// stop by the user end the batch instead).
TEST_F(UserInterface, ADevicesFailureIsItsConditionAtEnablingAndInATransfer) {
    struct Case {
        Word status;
        TW_UINT16 condition;
        TW_UINT16 transfer;  // answer of a native transfer of a later page
    };
    const Case cases[] = {
        {SANE_STATUS_JAMMED, TWCC_PAPERJAM, TWRC_FAILURE},
        {SANE_STATUS_NO_DOCS, TWCC_NOMEDIA, TWRC_CANCEL},
        {SANE_STATUS_COVER_OPEN, TWCC_INTERLOCK, TWRC_FAILURE},
        {SANE_STATUS_DEVICE_BUSY, TWCC_CHECKDEVICEONLINE, TWRC_FAILURE},
        {SANE_STATUS_IO_ERROR, TWCC_CHECKDEVICEONLINE, TWRC_FAILURE},
        {SANE_STATUS_ACCESS_DENIED, TWCC_DENIED, TWRC_FAILURE},
        {SANE_STATUS_NO_MEM, TWCC_LOWMEMORY, TWRC_FAILURE},
        {SANE_STATUS_INVAL, TWCC_OPERATIONERROR, TWRC_FAILURE},
        {SANE_STATUS_CANCELLED, TWCC_OPERATIONERROR, TWRC_CANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(4));
        scanner.failure = c.status;
        scanner.scans = {false};
        EXPECT_EQ(enable(0), TWRC_FAILURE);
        EXPECT_EQ(readStatus(), c.condition);
        EXPECT_EQ(source->state(), 4);

        FrameParameters gray;
        gray.format = kFrameGray;
        gray.depth = 8;
        gray.pixelsPerLine = gray.lines = 2;
        scanner.scanYields(gray);
        scanner.batch = 3;
        scanner.scans = {true, false};
        ASSERT_EQ(enable(0), TWRC_SUCCESS);
        platform::GlobalHandle handle = nullptr;
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
        platform::globalFree(handle);
        TW_PENDINGXFERS pending{};
        ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        handle = nullptr;
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), c.transfer);
        if (c.transfer == TWRC_FAILURE) {
            EXPECT_EQ(readStatus(), c.condition);
        }
        EXPECT_EQ(source->state(), 6);
        ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        EXPECT_EQ(pending.Count, 0);
        EXPECT_EQ(source->state(), 5);
    }
}

TEST_F(UserInterface, AFailedScanWithoutTheWindowLeavesTheSourceClosable) {
    scanner.scans = {false};
    ASSERT_EQ(enable(0), TWRC_FAILURE);
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &assigned), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 3);
    EXPECT_EQ(open(), TWRC_SUCCESS);
}

TEST_F(UserInterface, EnablingForSettingsShowsTheWindowForSettingsOnly) {
    TW_USERINTERFACE ui{1, 1, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_SUCCESS);
    EXPECT_EQ(ui.ModalUI, 0);
    EXPECT_TRUE(source->uiOnly);
    EXPECT_EQ(source->state(), 5);
    EXPECT_EQ(scanner.calls, Calls{"showWindow(settings)"});

    // A normal enable after the settings session clears the flag again.
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    ASSERT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_FALSE(source->uiOnly);
}

// The settings-only window's OK and its close both leave the source enabled.
TEST_F(UserInterface, ConfirmingOrClosingTheSettingsKeepsStateFiveUntilDisabled) {
    for (TW_UINT16 answer : {MSG_CLOSEDSOK, MSG_CLOSEDSREQ}) {
        TW_USERINTERFACE ui{1, 1, nullptr};
        ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_SUCCESS);
        EXPECT_TRUE(dsmScript().received.empty()) << "a seen window waits for its user";
        EXPECT_EQ(source->notifyApplication(answer), TWRC_SUCCESS);
        EXPECT_EQ(source->state(), 5) << answer;
        EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
        EXPECT_EQ(source->state(), 4);
        dsmScript().received.clear();
    }
}

std::vector<TW_UINT16> notifications() {
    std::vector<TW_UINT16> messages;
    for (const Notification& n : dsmScript().received) messages.push_back(n.MSG);
    return messages;
}

// Where nobody can see the window, the source acts as its user: one press of Scan, and the
// window closed once the batch is over or gave nothing.
TEST_F(UserInterface, AWindowNobodySeesScansOnceAndIsClosedAfterTheBatch) {
    scanner.windowSeen = false;
    scanner.scans = {true, true};
    scanner.batch = 2;
    ASSERT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_EQ(scanner.calls, (Calls{"showWindow(scan)", "pressScan", "acquire(keep,-)"}));
    EXPECT_EQ(source->state(), 6);
    EXPECT_EQ(notifications(), std::vector<TW_UINT16>{MSG_XFERREADY});

    TW_PENDINGXFERS pending{};
    source->setState(7);
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 1);
    EXPECT_EQ(notifications().size(), 1u) << "an image is still to come";
    ASSERT_NE(source->scanner->getImage(), nullptr);
    source->setState(7);
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(source->state(), 5);
    EXPECT_EQ(notifications(), (std::vector<TW_UINT16>{MSG_XFERREADY, MSG_CLOSEDSREQ}));
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
}

TEST_F(UserInterface, AWindowNobodySeesIsClosedWhenItsScanGaveNothing) {
    scanner.windowSeen = false;
    ASSERT_EQ(enable(1), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 5);
    EXPECT_EQ(notifications(), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});

    // Settings nobody can see are confirmed at once; the source stays enabled until the
    // application disables it.
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    scanner.calls.clear();
    TW_USERINTERFACE ui{1, 1, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 5);
    EXPECT_EQ(notifications(), (std::vector<TW_UINT16>{MSG_CLOSEDSREQ, MSG_CLOSEDSOK}));
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(source->state(), 4);
    EXPECT_EQ(scanner.calls, (Calls{"showWindow(settings)", "hideWindow"}));
}

}  // namespace
}  // namespace tarnwick::testing
