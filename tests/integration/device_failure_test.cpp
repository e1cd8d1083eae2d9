// What an application hears of a device's failures, through the source in this process against
// the test backend, whose reads return the status its configuration or its option names: the
// condition code at MSG_ENABLEDS and in a memory transfer, and a source that stays usable.
#include <fstream>
#include <string>

#include "integration/acquire_support.h"
#include "options/scanner_transport.h"
#include "session/scan_session.h"
#include "twain/data_source.h"
#include "twain/open_scanner.h"
#include "unit/twain/container_reader.h"
#include "window/preview_form.h"

namespace tarnwick::testing {
namespace {

class DeviceFailureTest : public AcquireTest {
  protected:
    TW_UINT16 call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return source_.dispatch(&application_, DG, DAT, MSG, data);
    }
    TW_UINT16 condition() {
        TW_STATUS status{};
        call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }
    TW_UINT16 openSource() {
        std::ofstream(settingsPath()) << settings_;
        return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned_);
    }
    TW_UINT16 closeSource() { return call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &assigned_); }
    TW_UINT16 set(TW_UINT16 capability, TW_UINT32 value, TW_UINT16 type = TWTY_UINT16) {
        SentContainer sent(capability, value, type);
        return call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &sent.cap);
    }
    TW_UINT16 enable() {
        TW_USERINTERFACE ui{0, 0, nullptr};
        return call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    }
    // One image by memory, buffer after buffer: the last answer.
    TW_UINT16 memoryTransfer() {
        std::vector<std::uint8_t> buffer(1 << 20);
        TW_UINT16 rc;
        do {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory.Length = static_cast<TW_UINT32>(buffer.size());
            xfer.Memory.TheMem = buffer.data();
            rc = call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        } while (rc == TWRC_SUCCESS);
        return rc;
    }
    TW_UINT16 nativeTransfer() {
        platform::GlobalHandle handle = nullptr;
        const TW_UINT16 rc = call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
        platform::globalFree(handle);
        return rc;
    }
    TW_UINT16 endTransfer() {
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        return pending.Count;
    }
    // The test backend's read status, set through its option as a user of the window would.
    void readsReturn(const std::string& status) {
        ScannerTransport* device =
            dynamic_cast<OpenScanner&>(*source_.scanner).window().session().scanner();
        ASSERT_NE(device, nullptr);
        Option* option = device->findOption("read-return-value");
        ASSERT_NE(option, nullptr);
        option->setValueText(status);
        ASSERT_EQ(option->valueText(), status);
    }

    DataSource source_{[](DataSource& owner) { return std::make_unique<OpenScanner>(owner); },
                       DsmLink()};
    TW_IDENTITY application_{}, assigned_{};
};

struct Failure {
    const char* status;
    TW_UINT16 condition;
};
const Failure kFailures[] = {
    {"SANE_STATUS_JAMMED", TWCC_PAPERJAM},
    {"SANE_STATUS_NO_DOCS", TWCC_NOMEDIA},
    {"SANE_STATUS_COVER_OPEN", TWCC_INTERLOCK},
    {"SANE_STATUS_DEVICE_BUSY", TWCC_CHECKDEVICEONLINE},
    {"SANE_STATUS_IO_ERROR", TWCC_CHECKDEVICEONLINE},
    {"SANE_STATUS_ACCESS_DENIED", TWCC_DENIED},
    {"SANE_STATUS_NO_MEM", TWCC_LOWMEMORY},
};

TEST_F(DeviceFailureTest, AFailingFirstPageIsItsConditionAndTheSourceStaysUsable) {
    for (const Failure& f : kFailures) {
        SCOPED_TRACE(f.status);
        std::ofstream(saned_.configDir() + "/test.conf", std::ios::app)
            << "read-status-code \"" << f.status << "\"\n";
        ASSERT_EQ(openSource(), TWRC_SUCCESS);
        EXPECT_EQ(enable(), TWRC_FAILURE);
        EXPECT_EQ(condition(), f.condition);
        EXPECT_EQ(source_.state(), 4);
        EXPECT_EQ(closeSource(), TWRC_SUCCESS);
    }
    std::ofstream(saned_.configDir() + "/test.conf", std::ios::app)
        << "read-status-code \"Default\"\n";
    ASSERT_EQ(openSource(), TWRC_SUCCESS);
    EXPECT_EQ(enable(), TWRC_SUCCESS);
    EXPECT_EQ(memoryTransfer(), TWRC_XFERDONE);
    EXPECT_EQ(endTransfer(), 0);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(closeSource(), TWRC_SUCCESS);
}

// The feeder's second page fails while the first is taken: the count keeps it pending, and its
// memory transfer fails with the condition; an empty feeder instead ends the batch.
TEST_F(DeviceFailureTest, AFailingLaterPageFailsItsMemoryTransfer) {
    option("enable-test-options", "yes");
    option("resolution", "50");
    for (const Failure& f : kFailures) {
        SCOPED_TRACE(f.status);
        ASSERT_EQ(openSource(), TWRC_SUCCESS);
        ASSERT_EQ(set(ICAP_XFERMECH, TWSX_MEMORY), TWRC_SUCCESS);
        ASSERT_EQ(set(CAP_FEEDERENABLED, 1, TWTY_BOOL), TWRC_SUCCESS);
        ASSERT_EQ(set(CAP_XFERCOUNT, 3, TWTY_INT16), TWRC_SUCCESS);
        ASSERT_EQ(enable(), TWRC_SUCCESS);
        ASSERT_NO_FATAL_FAILURE(readsReturn(f.status));
        EXPECT_EQ(memoryTransfer(), TWRC_XFERDONE);
        const bool quiet = f.condition == TWCC_NOMEDIA;
        EXPECT_EQ(endTransfer(), quiet ? 0 : 1);
        if (!quiet) {
            EXPECT_EQ(memoryTransfer(), TWRC_FAILURE);
            EXPECT_EQ(condition(), f.condition);
            EXPECT_EQ(source_.state(), 6);
            EXPECT_EQ(endTransfer(), 0);
        }
        EXPECT_EQ(source_.state(), 5);
        EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
        EXPECT_EQ(closeSource(), TWRC_SUCCESS);
    }
}

// One application's session: the three pixel types from the flatbed and the feeder, native and
// then by memory, until the feeder (ten pages per open) runs empty; the source then closes and
// opens again as at first.
TEST_F(DeviceFailureTest, AnEmptyFeederEndsTheSessionsScansButNotTheSource) {
    option("resolution", "50");
    ASSERT_EQ(openSource(), TWRC_SUCCESS);
    int scans = 0, noMedia = 0;
    for (TW_UINT16 mechanism : {TWSX_NATIVE, TWSX_MEMORY}) {
        ASSERT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, nullptr), TWRC_SUCCESS);
        ASSERT_EQ(set(ICAP_XFERMECH, mechanism), TWRC_SUCCESS);
        for (bool feeder : {false, true}) {
            ASSERT_EQ(set(CAP_FEEDERENABLED, feeder, TWTY_BOOL), TWRC_SUCCESS);
            if (feeder) {
                ASSERT_EQ(set(CAP_XFERCOUNT, 1, TWTY_INT16), TWRC_SUCCESS);
            }
            for (TW_UINT16 pixelType : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
                SCOPED_TRACE(std::to_string(mechanism) + (feeder ? " feeder " : " flatbed ") +
                             std::to_string(pixelType));
                ASSERT_NE(set(ICAP_PIXELTYPE, pixelType), TWRC_FAILURE);
                if (enable() != TWRC_SUCCESS) {
                    EXPECT_EQ(condition(), TWCC_NOMEDIA);
                    EXPECT_EQ(source_.state(), 4);
                    ++noMedia;
                    continue;
                }
                ++scans;
                EXPECT_EQ(mechanism == TWSX_NATIVE ? nativeTransfer() : memoryTransfer(),
                          TWRC_XFERDONE);
                EXPECT_EQ(endTransfer(), 0);
                EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr),
                          TWRC_SUCCESS);
            }
        }
    }
    EXPECT_GE(scans, 10);
    EXPECT_GE(noMedia, 1);
    EXPECT_EQ(closeSource(), TWRC_SUCCESS);
    ASSERT_EQ(openSource(), TWRC_SUCCESS);
    EXPECT_EQ(enable(), TWRC_SUCCESS);
    EXPECT_EQ(nativeTransfer(), TWRC_XFERDONE);
    EXPECT_EQ(endTransfer(), 0);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(closeSource(), TWRC_SUCCESS);
}

}  // namespace
}  // namespace tarnwick::testing
